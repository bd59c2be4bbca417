#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

#include "app/appstate.h"
#include "app/controlpage.h"
#include "app/labelarrays.h"
#include "app/windowcontext.h"

namespace lm {

class ClientArea;
class Dialogs;
class LabelControl;

// The main window. It builds the menu bar, the bars, the sheet and the label
// controls of the configured label type from the settings, owns the run's
// state, and hands it to the command groups through WindowContext. The
// commands themselves live with their menus (see commandgroups.cpp).
class Forms1 : public QMainWindow, public WindowContext {
    Q_OBJECT
  public:
    Forms1(const Settings& settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~Forms1() override;

    // WindowContext
    AppState& state() override { return m_state; }
    LabelPage& page() override { return m_page; }
    LabelControl* spineControl(int element) const override { return m_labels.spine(element); }
    LabelControl* pocketControl(int element) const override { return m_labels.pocket(element); }
    SheetControl* sheet() const override;
    Dialogs& dialogs() override { return m_dialogs; }
    bool ViewZoom(int nZoomValue) override;
    void setLayoutRecovery(std::function<void()> recovery) override;
    void setPageTitle(TitleSpacing spacing) override;
    void setPlainTitle() override;
    QString title() const override { return windowTitle(); }
    QAction* menuItem(const QString& name) const override;
    QList<QAction*> menuArray(const QString& arrayName) const override;
    void setMenuArrayCheck(const QString& arrayName, int index) override;
    QAbstractButton* button(const QString& name) const override;
    QWidget* window() override { return this; }
    void setCloseGuard(std::function<bool()> mayClose) override;
    void setStartUpLoad(std::function<void()> load) override;

    // Start-up's last step: with Interactive printing, the working file's
    // first page (loadWorkingFile, unless a command group set another load).
    void runStartUpLoad();

    ClientArea* clientArea() const { return m_client; }
    // The label the button bar, ruler and status bar act on.
    LabelControl* activeLabel() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void setMenuChecks();
    void connectLabels();
    void labelClicked(LabelControl* label);
    void setActiveLabel(LabelControl* label);

    AppState m_state;
    Dialogs& m_dialogs;
    LabelArrays m_labels;
    ControlPage m_page;
    ClientArea* m_client;
    QPointer<LabelControl> m_activeLabel;
    std::function<void()> m_layoutRecovery;
    bool m_recovering = false;
    std::function<bool()> m_closeGuard;
    std::function<void()> m_startUpLoad;
};

}  // namespace lm
