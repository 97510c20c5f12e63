#include "app/ExitWithoutDisplay.h"

#include <QMessageLogContext>
#include <QString>

#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace duoptic {

namespace {

constexpr int kNoDisplayStatus = 1;

// A message and the parts of its context that may not outlive the call.
struct HeldMessage {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
};

std::mutex heldLock;
std::vector<HeldMessage> held;

std::string copied(const char* text) {
    return text != nullptr ? text : "";
}

void holdOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        static constexpr char kLine[] = "duoptic: no display could be opened\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
        ::_exit(kNoDisplayStatus);
    }
    const std::lock_guard lock(heldLock);
    held.push_back({type, copied(context.file), context.line, copied(context.function),
                    copied(context.category), text});
}

} // namespace

ExitWithoutDisplay::ExitWithoutDisplay() : earlier_(qInstallMessageHandler(holdOrExit)) {}

ExitWithoutDisplay::~ExitWithoutDisplay() {
    qInstallMessageHandler(earlier_);
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard lock(heldLock);
        messages.swap(held);
    }
    for (const HeldMessage& m : earlier_ != nullptr ? messages : std::vector<HeldMessage>()) {
        const QMessageLogContext context(m.file.empty() ? nullptr : m.file.c_str(), m.line,
                                         m.function.empty() ? nullptr : m.function.c_str(),
                                         m.category.c_str());
        earlier_(m.type, context, m.text);
    }
}

} // namespace duoptic
