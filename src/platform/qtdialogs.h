#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace lm {

// The dialogs the operator sees: Qt's message box, input dialog, file, folder,
// font and print dialogs, modal to the parent window.
class QtDialogs : public Dialogs {
  public:
    using Dialogs::message;

    void setParentWindow(QWidget* parent) { m_parent = parent; }

    MessageAnswer message(const MessageRequest& request) override;
    int choose(const ChoiceRequest& request) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter) override;
    std::optional<QString> folderName(const QString& title, const QString& startFolder) override;
    std::optional<FontChoice> chooseFont(const FontChoice& preset) override;
    bool printDialog(QPrinter& printer) override;
    bool printDialog(QPrinter& printer, PrintOptions& options) override;
    PrintProblemAnswer printProblems(const QString& text, const QStringList& problems) override;

  private:
    // The print dialog, with the page of the program's options when `options`
    // is given.
    bool runPrintDialog(QPrinter& printer, PrintOptions* options);
    std::optional<QString> fileName(const QString& title, const QString& filter, bool save);

    QPointer<QWidget> m_parent;
    QString m_lastFileName;  // the one name both file dialogs share
};

}  // namespace lm
