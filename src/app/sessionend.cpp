#include "app/sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <vector>

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/workfolder.h"
#include "store/savecommands.h"

namespace lm {
namespace {

TypedPageStandIn*& currentStandIn() {
    static TypedPageStandIn* standIn = nullptr;
    return standIn;
}

// The windows' session ends, oldest first; a signal is for the one made
// last that still lives.
std::vector<SessionEnd*>& sessionEnds() {
    static std::vector<SessionEnd*> live;
    return live;
}

// The signal handler's end of the self-pipe; the event loop reads the other.
int g_signalPipe[2] = {-1, -1};

extern "C" void onEndSignal(int signalNumber) {
    // Only async-signal-safe calls here.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    ssize_t ignored = write(g_signalPipe[1], &byte, 1);
    (void)ignored;
    errno = savedErrno;
}

// Ends the program by `signalNumber` with its default action.
[[noreturn]] void endBySignal(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);
}

void readSignal() {
    unsigned char byte = 0;
    if (read(g_signalPipe[0], &byte, 1) != 1) return;
    if (!sessionEnds().empty()) {
        SessionEnd* session = sessionEnds().back();
        Status kept = session->signalled();
        if (!kept)
            std::fprintf(stderr, "labelmaker: the typed labels could not be kept: %s\n",
                         kept.error().message().c_str());
    }
    endBySignal(byte);
}

// Installs the handlers and the pipe's reader once for the whole program.
void installSignalHandlers() {
    static bool installed = false;
    if (installed) return;
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    installed = true;
    // Owned by the application, so it lives as long as the event loop.
    auto* notifier =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { readSignal(); });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

std::optional<TypedPage> typedPageOf(WindowContext& window) {
    const AppState& state = window.state();
    if (!state.PageChanged) return std::nullopt;
    TypedPage typed;
    typed.fileName = state.CurrentFileName;
    typed.pageNumber = state.PageNumber;
    typed.labelType = state.LabelType();
    LabelPage& page = window.page();
    for (int i = 2; i <= page.lastSpineIndex(); ++i) typed.spineTexts.push_back(page.spineText(i));
    for (int i = 2; i <= page.lastPocketIndex(); ++i)
        typed.pocketTexts.push_back(page.pocketText(i));
    return typed;
}

TypedPageStandIn::TypedPageStandIn(std::optional<TypedPage> page)
    : m_page(std::move(page)), m_outer(currentStandIn()) {
    currentStandIn() = this;
}

TypedPageStandIn::~TypedPageStandIn() {
    currentStandIn() = m_outer;
}

const TypedPageStandIn* TypedPageStandIn::current() {
    return currentStandIn();
}

std::string typedPageFilePath() {
    return workFilePath(kTypedPageFile);
}

Status keepTypedPage(WindowContext& window, const std::optional<TypedPage>& declined) {
    std::optional<TypedPage> typed;
    if (const TypedPageStandIn* standIn = TypedPageStandIn::current())
        typed = standIn->page();
    else
        typed = typedPageOf(window);
    if (!typed || (declined && *declined == *typed)) return {};
    return writeTypedPageFile(typedPageFilePath(), *typed);
}

SessionAnswer answerSessionEnd(WindowContext& window) {
    if (!mayCloseWindow(window)) return SessionAnswer::Stay;
    return window.state().PageChanged ? SessionAnswer::Declined : SessionAnswer::Saved;
}

SessionEnd::SessionEnd(WindowContext& window, QObject* parent) : QObject(parent), m_window(window) {
    sessionEnds().push_back(this);
    installSignalHandlers();
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &SessionEnd::commitData,
                Qt::DirectConnection);
}

SessionEnd::~SessionEnd() {
    std::vector<SessionEnd*>& live = sessionEnds();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

Status SessionEnd::signalled() {
    return keepTypedPage(m_window, m_declined);
}

void SessionEnd::commitData(QSessionManager& manager) {
    m_declined.reset();
    if (!m_window.state().PageChanged || !manager.allowsInteraction()) return;
    const SessionAnswer answer = answerSessionEnd(m_window);
    manager.release();
    if (answer == SessionAnswer::Stay) manager.cancel();
    if (answer == SessionAnswer::Declined) m_declined = typedPageOf(m_window);
}

}  // namespace lm
