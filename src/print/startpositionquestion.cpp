#include "print/startpositionquestion.h"

#include "core/startposition.h"
#include "platform/dialogs.h"
#include "platform/printoptions.h"

namespace lm {

std::optional<int> askStartPosition(Dialogs& dialogs, PrintOptions& options, int labelType) {
    const int positions = startPositionCount(labelType);
    if (!options.askStartPosition || positions <= 1) return 1;
    const QString prompt =
        QStringLiteral("Start at label (1 to %1) on the first sheet, counted row by row from the "
                       "top left:")
            .arg(positions);
    int offered = options.startPosition >= 1 && options.startPosition <= positions
                      ? options.startPosition
                      : 1;
    QString typed = QString::number(offered);
    for (;;) {
        std::optional<QString> answer = dialogs.inputBox(prompt, kStartPositionTitle, typed);
        if (!answer) return std::nullopt;
        typed = answer->trimmed();
        bool isNumber = false;
        const int position = typed.toInt(&isNumber);
        const std::string problem = isNumber ? startPositionProblem(labelType, position)
                                             : std::string("that is not a number");
        if (problem.empty()) {
            options.startPosition = position;
            return position;
        }
        dialogs.message(QStringLiteral("Start at label %1: %2.")
                            .arg(typed, QString::fromStdString(problem)),
                        MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

}  // namespace lm
