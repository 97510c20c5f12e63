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

// A file handed to the program (command line, drop) that belongs to no pair of its folder.
inline std::string notAPairFile(const std::string& path) {
    return "ファイル " + path + " はステレオペアの画像ではありません";
}

// Stereo files that hold both views in one file (MPO).

inline std::string noSecondImage(const std::string& path) {
    return "ファイル " + path + " に 2 枚目の画像がありません";
}

inline std::string noStereoViews(const std::string& path) {
    return "ファイル " + path + " には立体視用の 2 枚の画像がありません";
}

inline std::string secondImageCutShort(const std::string& path) {
    return "ファイル " + path + " の 2 枚目の画像は途中で切れています";
}

// `what` says what is wrong with the index, from the texts below.
inline std::string brokenMpoIndex(const std::string& path, const std::string& what) {
    return "ファイル " + path + " の MPO インデックスが壊れています (" + what + ")";
}

inline std::string mpoHeaderUnreadable() {
    return "TIFF ヘッダーが読めません";
}

inline std::string mpoOffsetLoop() {
    return "IFD のオフセットが循環しています";
}

inline std::string mpoBadImageCount() {
    return "画像の数が不正です";
}

inline std::string mpoNoEntries() {
    return "画像の一覧がありません";
}

inline std::string mpoImageOutsideFile(int image) {
    return "画像 " + std::to_string(image) + " の位置がファイルの外です";
}

inline std::string mpoImageNotJpeg(int image) {
    return "画像 " + std::to_string(image) + " の位置に JPEG がありません";
}

inline std::string mpoImagesOverlap(int image) {
    return "画像 " + std::to_string(image) + " が他の画像と重なっています";
}

} // namespace duoptic::messages
