#pragma once

#include <QObject>

#include <optional>
#include <string>

#include "core/result.h"
#include "core/typedpage.h"

class QSessionManager;

namespace lm {

class WindowContext;

// The texts of the page on display, when it has changes not yet saved, with
// the file and page number they belong to; nothing when PageChanged is false.
std::optional<TypedPage> typedPageOf(WindowContext& window);

// While it lives, the page a sudden end keeps is `page` rather than what the
// labels show: Print All fills them with the pages it prints.
class TypedPageStandIn {
  public:
    explicit TypedPageStandIn(std::optional<TypedPage> page);
    ~TypedPageStandIn();
    TypedPageStandIn(const TypedPageStandIn&) = delete;
    TypedPageStandIn& operator=(const TypedPageStandIn&) = delete;

    // The innermost stand-in alive, if any.
    static const TypedPageStandIn* current();
    const std::optional<TypedPage>& page() const { return m_page; }

  private:
    std::optional<TypedPage> m_page;
    TypedPageStandIn* m_outer;
};

// Where the typed page is kept: kTypedPageFile in the working folder.
std::string typedPageFilePath();

// Writes the typed page (the stand-in's, else the window's) into the
// working folder's kTypedPageFile, unless it is `declined`. True when
// nothing needed keeping.
Status keepTypedPage(WindowContext& window, const std::optional<TypedPage>& declined = {});

// The session is ending (a logout, a shutdown): the save question, as closing
// the window asks it. Stay means the operator chose Cancel, or the save did
// not happen, and the session should not end.
enum class SessionAnswer { Saved, Declined, Stay };
SessionAnswer answerSessionEnd(WindowContext& window);

// Sees the program through the end of the desktop session. On the session's
// request to commit data it asks the save question; on SIGTERM and SIGHUP
// (the signal handler only writes to a pipe, the rest runs in the event loop)
// it keeps the typed page with keepTypedPage() and then ends the program by
// the same signal, as its sender expects.
class SessionEnd : public QObject {
    Q_OBJECT
  public:
    SessionEnd(WindowContext& window, QObject* parent);
    ~SessionEnd() override;

    // What a SIGTERM or SIGHUP runs before the program ends.
    Status signalled();

  private:
    void commitData(QSessionManager& manager);

    WindowContext& m_window;
    // The page as it was when the operator answered No at the session's end.
    std::optional<TypedPage> m_declined;
};

}  // namespace lm
