#pragma once

#include <string>

// The runtime's message table. These texts are the ones users of the viewer know; they are used
// exactly as they stand. Paths are bytes and are inserted unchanged.
namespace duoptic::messages {

inline std::string cannotOpenFile(const std::string& path) {
    return "ファイル " + path + " は開けません";
}

inline std::string jpegError(int messageNumber) {
    return "JPEG エラー #" + std::to_string(messageNumber);
}

inline std::string cannotWrite(const std::string& path) {
    return path + " に書き込めません";
}

inline std::string cannotGetTimer() {
    return "タイマーを取得できません";
}

} // namespace duoptic::messages
