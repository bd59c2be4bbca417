#include "scripteddialogs.h"

#include <QDialog>
#include <QTest>
#include <QTimer>

namespace {

QString buttonsName(lm::MessageButtons buttons) {
    static const char* const names[] = {"Ok", "OkCancel", "YesNo", "YesNoCancel"};
    return QString::fromLatin1(names[int(buttons)]);
}

QString iconName(lm::MessageIcon icon) {
    static const char* const names[] = {"no icon", "information", "question", "exclamation",
                                        "critical"};
    return QString::fromLatin1(names[int(icon)]);
}

QString answerName(std::optional<lm::MessageAnswer> answer) {
    static const char* const names[] = {"Ok", "Cancel", "Yes", "No"};
    return answer ? QString::fromLatin1(names[int(*answer)]) : QStringLiteral("(first button)");
}

// Shows line breaks, so that "\r\n" and "\n" can be told apart in a report.
QString visible(QString text) {
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString describeFont(const lm::FontChoice& f) {
    return QStringLiteral("%1 %2pt colour %3%4%5%6%7")
        .arg(f.name)
        .arg(f.size)
        .arg(f.color)
        .arg(f.bold ? QStringLiteral(" bold") : QString())
        .arg(f.italic ? QStringLiteral(" italic") : QString())
        .arg(f.strikethrough ? QStringLiteral(" strikethrough") : QString())
        .arg(f.underline ? QStringLiteral(" underline") : QString());
}

}  // namespace

QString describeMessage(const lm::MessageRequest& request) {
    return QStringLiteral("message %1, title %2, %3, %4")
        .arg(visible(request.text), visible(request.title), buttonsName(request.buttons),
             iconName(request.icon));
}

ScriptedDialogs::~ScriptedDialogs() {
    const QStringList left = problems();
    if (!left.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("dialog script: ") + left.join(QLatin1Char('\n'))),
                     __FILE__, __LINE__);
}

ScriptedDialogs::Step& ScriptedDialogs::push(Kind kind, const QString& description) {
    m_steps.emplace_back();
    m_steps.back().kind = kind;
    m_steps.back().description = description;
    return m_steps.back();
}

void ScriptedDialogs::expectMessage(const QString& text, lm::MessageButtons buttons,
                                    lm::MessageIcon icon, lm::MessageAnswer answer,
                                    const QString& title) {
    lm::MessageRequest request{text, title, buttons, icon, std::nullopt};
    push(Kind::Message, describeMessage(request)).message = request;
    m_steps.back().answer = answer;
}

void ScriptedDialogs::expectMessageWithDefault(const QString& text, lm::MessageButtons buttons,
                                               lm::MessageIcon icon,
                                               lm::MessageAnswer defaultButton,
                                               lm::MessageAnswer answer, const QString& title) {
    expectMessage(text, buttons, icon, answer, title);
    m_steps.back().message.defaultButton = defaultButton;
    m_steps.back().checkDefault = true;
}

void ScriptedDialogs::expectChoice(const QString& text, lm::MessageIcon icon,
                                   const QStringList& choices, int answer, const QString& title) {
    Step& step = push(Kind::Choice, QStringLiteral("choice %1 [%2]")
                                        .arg(visible(text), choices.join(QStringLiteral(" | "))));
    step.choice.text = text;
    step.choice.title = title;
    step.choice.icon = icon;
    step.choice.choices = choices;
    step.chosen = answer;
}

void ScriptedDialogs::expectInput(const QString& prompt, const QString& title,
                                  const QString& defaultText, std::optional<QString> answer) {
    Step& step = push(Kind::Input, QStringLiteral("input box %1").arg(visible(prompt)));
    step.prompt = prompt;
    step.title = title;
    step.detail = defaultText;
    step.text = std::move(answer);
}

void ScriptedDialogs::expectOpenFile(const QString& title, const QString& filter,
                                     std::optional<QString> answer) {
    Step& step = push(Kind::OpenFile, QStringLiteral("file dialog %1").arg(visible(title)));
    step.title = title;
    step.detail = filter;
    step.text = std::move(answer);
}

void ScriptedDialogs::expectSaveFile(const QString& title, const QString& filter,
                                     std::optional<QString> answer) {
    expectOpenFile(title, filter, std::move(answer));
    m_steps.back().kind = Kind::SaveFile;
}

void ScriptedDialogs::expectFolder(const QString& title, std::optional<QString> answer) {
    Step& step = push(Kind::Folder, QStringLiteral("folder dialog %1").arg(visible(title)));
    step.title = title;
    step.text = std::move(answer);
}

void ScriptedDialogs::expectFont(std::optional<lm::FontChoice> preset,
                                 std::optional<lm::FontChoice> answer) {
    Step& step = push(Kind::Font, QStringLiteral("font dialog"));
    step.preset = std::move(preset);
    step.font = std::move(answer);
}

void ScriptedDialogs::expectPrint(bool accept) {
    push(Kind::Print, QStringLiteral("print dialog")).accept = accept;
}

QStringList ScriptedDialogs::problems() const {
    QStringList all = m_failures;
    for (const Step& step : m_steps) all << QStringLiteral("not shown: ") + step.description;
    return all;
}

QStringList ScriptedDialogs::takeProblems() {
    QStringList all = problems();
    m_failures.clear();
    m_steps.clear();
    return all;
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::next(Kind kind, const QString& description) {
    m_shown << description;
    if (m_steps.empty()) {
        m_failures << QStringLiteral("unexpected: ") + description;
        return std::nullopt;
    }
    if (m_steps.front().kind != kind) {
        m_failures << QStringLiteral("unexpected: %1 (the script expects another kind of dialog)")
                          .arg(description);
        return std::nullopt;
    }
    Step step = m_steps.front();
    m_steps.pop_front();
    return step;
}

void ScriptedDialogs::check(const QString& what, const QString& expected, const QString& actual) {
    if (expected != actual)
        m_failures << QStringLiteral("%1: expected %2, got %3")
                          .arg(what, visible(expected), visible(actual));
}

lm::MessageAnswer ScriptedDialogs::message(const lm::MessageRequest& request) {
    std::optional<Step> step = next(Kind::Message, describeMessage(request));
    if (!step) {
        // Whatever leaves things as they are.
        if (request.buttons == lm::MessageButtons::Ok) return lm::MessageAnswer::Ok;
        if (request.buttons == lm::MessageButtons::YesNo) return lm::MessageAnswer::No;
        return lm::MessageAnswer::Cancel;
    }
    const lm::MessageRequest& want = step->message;
    check(QStringLiteral("message text"), want.text, request.text);
    check(QStringLiteral("message title"), want.title, request.title);
    check(QStringLiteral("message buttons of ") + visible(want.text), buttonsName(want.buttons),
          buttonsName(request.buttons));
    check(QStringLiteral("message icon of ") + visible(want.text), iconName(want.icon),
          iconName(request.icon));
    if (step->checkDefault)
        check(QStringLiteral("default button of ") + visible(want.text),
              answerName(want.defaultButton), answerName(request.defaultButton));
    return step->answer;
}

int ScriptedDialogs::choose(const lm::ChoiceRequest& request) {
    std::optional<Step> step =
        next(Kind::Choice, QStringLiteral("choice %1 [%2], title %3, %4")
                               .arg(visible(request.text),
                                    request.choices.join(QStringLiteral(" | ")),
                                    visible(request.title), iconName(request.icon)));
    // Unscripted: whatever Escape answers, which leaves things as they are.
    if (!step) return request.escapeChoice;
    const lm::ChoiceRequest& want = step->choice;
    check(QStringLiteral("choice text"), want.text, request.text);
    check(QStringLiteral("choice title"), want.title, request.title);
    check(QStringLiteral("choice icon of ") + visible(want.text), iconName(want.icon),
          iconName(request.icon));
    check(QStringLiteral("choices of ") + visible(want.text),
          want.choices.join(QStringLiteral(" | ")), request.choices.join(QStringLiteral(" | ")));
    return step->chosen;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    std::optional<Step> step =
        next(Kind::Input, QStringLiteral("input box %1, title %2, default %3")
                              .arg(visible(prompt), visible(title), visible(defaultText)));
    if (!step) return std::nullopt;
    check(QStringLiteral("input prompt"), step->prompt, prompt);
    check(QStringLiteral("input title"), step->title, title);
    check(QStringLiteral("input default text"), step->detail, defaultText);
    return step->text;
}

std::optional<QString> ScriptedDialogs::openFileName(const QString& title, const QString& filter) {
    std::optional<Step> step =
        next(Kind::OpenFile,
             QStringLiteral("open dialog %1, filter %2").arg(visible(title), visible(filter)));
    if (!step) return std::nullopt;
    check(QStringLiteral("open dialog title"), step->title, title);
    check(QStringLiteral("open dialog filter"), step->detail, filter);
    return step->text;
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString& title, const QString& filter) {
    std::optional<Step> step =
        next(Kind::SaveFile,
             QStringLiteral("save dialog %1, filter %2").arg(visible(title), visible(filter)));
    if (!step) return std::nullopt;
    check(QStringLiteral("save dialog title"), step->title, title);
    check(QStringLiteral("save dialog filter"), step->detail, filter);
    return step->text;
}

std::optional<QString> ScriptedDialogs::folderName(const QString& title, const QString&) {
    std::optional<Step> step =
        next(Kind::Folder, QStringLiteral("folder dialog %1").arg(visible(title)));
    if (!step) return std::nullopt;
    check(QStringLiteral("folder dialog title"), step->title, title);
    return step->text;
}

std::optional<lm::FontChoice> ScriptedDialogs::chooseFont(const lm::FontChoice& preset) {
    std::optional<Step> step =
        next(Kind::Font, QStringLiteral("font dialog preset %1").arg(describeFont(preset)));
    if (!step) return std::nullopt;
    if (step->preset)
        check(QStringLiteral("font dialog preset"), describeFont(*step->preset),
              describeFont(preset));
    return step->font;
}

bool ScriptedDialogs::printDialog(QPrinter&) {
    std::optional<Step> step = next(Kind::Print, QStringLiteral("print dialog"));
    return step && step->accept;
}

void ScriptedDialogs::expectPrintProblems(const QStringList& problems,
                                          lm::PrintProblemAnswer answer) {
    Step& step = push(Kind::Problems, QStringLiteral("print problems ") +
                                          visible(problems.join(QLatin1Char('|'))));
    step.problems = problems;
    step.problemAnswer = answer;
}

void ScriptedDialogs::expectPreview(std::function<void(QDialog&)> inspect) {
    push(Kind::Preview, QStringLiteral("print preview")).inspect = std::move(inspect);
}

void ScriptedDialogs::expectCalibration(std::function<void(QDialog&)> inspect) {
    push(Kind::Calibration, QStringLiteral("printer calibration")).inspect = std::move(inspect);
}

lm::PrintProblemAnswer ScriptedDialogs::printProblems(const QString& text,
                                                      const QStringList& problems) {
    std::optional<Step> step = next(
        Kind::Problems, QStringLiteral("print problems ") + visible(problems.join(QLatin1Char('|'))));
    if (!step) return {};
    check(QStringLiteral("print problems text"), QStringLiteral("These labels will not print as they show:"), text);
    check(QStringLiteral("print problems"), step->problems.join(QLatin1Char('|')),
          problems.join(QLatin1Char('|')));
    return step->problemAnswer;
}

// The preview is shown for real, so that it lays its pages out; the
// inspection runs once it is up, and the preview closes after it.
void ScriptedDialogs::printPreview(QDialog& preview) {
    std::optional<Step> step = next(Kind::Preview, QStringLiteral("print preview"));
    if (!step) return;
    QTimer::singleShot(0, &preview, [&preview, inspect = step->inspect] {
        if (inspect) inspect(preview);
        if (preview.isVisible()) preview.reject();
    });
    preview.exec();
}

void ScriptedDialogs::printerCalibration(QDialog& calibration) {
    std::optional<Step> step = next(Kind::Calibration, QStringLiteral("printer calibration"));
    if (!step) return;
    QTimer::singleShot(0, &calibration, [&calibration, inspect = step->inspect] {
        if (inspect) inspect(calibration);
        if (calibration.isVisible()) calibration.reject();
    });
    calibration.exec();
}
