#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace lm {

// The address lblWebLink shows and opens.
inline const QString kProductWebPage = QStringLiteral("https://www.kelvarine.example/labelmak.htm");

// A label whose text is a web address: clicking it (or Enter or Space when it
// has the focus) hands the text to the desktop's default handler for
// addresses. Nothing is reported when that fails.
class WebLinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit WebLinkLabel(const QString& address, QWidget* parent = nullptr);

    void open() const;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The about box: the product and its version, the product web page under
// "Technical Support:", and the maker's notice of rights. It is modeless, so
// the main window stays usable while it is open. Closing it deletes it, so
// make it with new.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    static QString caption() { return QStringLiteral("About Label Maker"); }
    // The notice of rights, two lines joined by CR LF.
    static QString copyrightNotice();

    void cmdOK_Click();

  private:
    QLabel* m_copyright;
    QPushButton* m_ok;
};

}  // namespace lm
