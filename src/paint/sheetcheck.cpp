#include "paint/sheetcheck.h"

#include <QHash>
#include <QRawFont>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "core/labelfile.h"
#include "core/pagegeometry.h"
#include "core/selection.h"
#include "paint/labellayout.h"
#include "paint/labelsheet.h"

namespace lm {
namespace {

constexpr int kPocketOffset = 40;

// Where each label control of a label type belongs: its set, its place in
// the set, and the set's row and column on the sheet.
struct ControlPlace {
    int set = 0;
    QString label;
    int row = 0;
    int column = 0;
};

class TypePlaces {
  public:
    explicit TypePlaces(int labelType) {
        const PageGeometry geometry = pageGeometry(labelType, 0, 0);
        // A set lies where its first spine label lies.
        std::map<int, std::pair<double, double>> setCorner;
        std::set<double> tops;
        std::set<double> lefts;
        for (int setPosition = 2;; ++setPosition) {
            const SetControls controls = controlsOfSet(labelType, setPosition);
            if (controls.spine.empty()) break;
            const LabelPlacement* first = geometry.spine(controls.spine.front());
            if (!first) break;
            setCorner[setPosition] = {first->top, first->left};
            tops.insert(first->top);
            lefts.insert(first->left);
            for (std::size_t i = 0; i < controls.spine.size(); ++i)
                m_places[controls.spine[i]] = {setPosition - 1,
                                               i == 0 ? QStringLiteral("spine")
                                                      : QStringLiteral("spine%1").arg(i + 1),
                                               0, 0};
            for (std::size_t i = 0; i < controls.pocket.size(); ++i)
                m_places[controls.pocket[i] + kPocketOffset] = {
                    setPosition - 1, QStringLiteral("pocket%1").arg(i + 1), 0, 0};
        }
        for (auto& [key, place] : m_places) {
            const auto [top, left] = setCorner[place.set + 1];
            place.row = int(std::distance(tops.begin(), tops.find(top))) + 1;
            place.column = int(std::distance(lefts.begin(), lefts.find(left))) + 1;
        }
    }

    ControlPlace place(bool pocket, int element) const {
        auto found = m_places.find(element + (pocket ? kPocketOffset : 0));
        return found == m_places.end() ? ControlPlace{} : found->second;
    }

  private:
    std::map<int, ControlPlace> m_places;
};

const TypePlaces& typePlaces(int labelType) {
    static std::map<int, std::unique_ptr<TypePlaces>> places;
    std::unique_ptr<TypePlaces>& found = places[labelType];
    if (!found) found = std::make_unique<TypePlaces>(labelType);
    return *found;
}

// The characters the font the label asks for really holds, remembered per
// character. The raw font is the font the name resolves to, before Qt falls
// back to others for what it lacks.
class CharacterCoverage {
  public:
    explicit CharacterCoverage(const SheetFont& font)
        : m_font(QRawFont::fromFont(labelTwipFont(font))) {}

    QString familyName() const { return m_font.familyName(); }
    bool draws(QChar c) {
        auto found = m_known.constFind(c.unicode());
        if (found != m_known.constEnd()) return *found;
        const bool drawn = m_font.isValid() && m_font.supportsCharacter(c);
        m_known.insert(c.unicode(), drawn);
        return drawn;
    }

  private:
    QRawFont m_font;
    QHash<char16_t, bool> m_known;
};

CharacterCoverage& coverage(const SheetFont& font) {
    static QHash<QString, std::shared_ptr<CharacterCoverage>> fonts;
    const QString key = font.name + QLatin1Char('/') + QLatin1Char(font.bold ? 'b' : '-') +
                        QLatin1Char(font.italic ? 'i' : '-');
    std::shared_ptr<CharacterCoverage>& found = fonts[key];
    if (!found) found = std::make_shared<CharacterCoverage>(font);
    return *found;
}

QString missingCharacters(const SheetLabel& label) {
    CharacterCoverage& font = coverage(label.font);
    QString missing;
    for (QChar c : label.text) {
        if (c.isSpace() || missing.contains(c)) continue;
        if (!font.draws(c)) missing += c;
    }
    if (missing.isEmpty()) return QString();
    QStringList named;
    for (QChar c : missing)
        named << (c.isPrint() ? QStringLiteral("\"%1\"").arg(c)
                              : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper());
    return QStringLiteral("The font %1 cannot draw %2; another font would stand in.")
        .arg(font.familyName().isEmpty() ? label.font.name : font.familyName(),
             named.join(QStringLiteral(", ")));
}

}  // namespace

QString problemName(LabelProblemKind kind) {
    switch (kind) {
        case LabelProblemKind::Overflow:
            return QStringLiteral("overflow");
        case LabelProblemKind::MissingCharacter:
            return QStringLiteral("missing-character");
        case LabelProblemKind::BlankLeft:
            return QStringLiteral("blank");
    }
    return QString();
}

std::vector<LabelProblem> checkLabel(int labelType, const SheetLabel& label) {
    std::vector<LabelProblem> problems;
    if (label.text.isEmpty()) return problems;
    const ControlPlace place = typePlaces(labelType).place(label.pocket, label.number);
    auto add = [&](LabelProblemKind kind, const QString& description) {
        LabelProblem problem;
        problem.kind = kind;
        problem.pocket = label.pocket;
        problem.element = label.number;
        problem.set = place.set;
        problem.label = place.label;
        problem.row = place.row;
        problem.column = place.column;
        problem.description = description;
        problem.text = label.text;
        problems.push_back(problem);
    };
    const QString overflow = labelOverflow(label.text, labelFormat(label));
    if (!overflow.isEmpty()) add(LabelProblemKind::Overflow, overflow);
    const QString missing = missingCharacters(label);
    if (!missing.isEmpty()) add(LabelProblemKind::MissingCharacter, missing);
    if (!label.pocket && label.text == QLatin1String(kBlankLabelText))
        add(LabelProblemKind::BlankLeft,
            QStringLiteral("The blank label set still holds \"<Blank>\", which prints as text."));
    return problems;
}

std::vector<LabelProblem> checkSheet(const LabelSheet& sheet) {
    std::vector<LabelProblem> problems;
    for (const SheetLabel& label : sheet.labels) {
        std::vector<LabelProblem> found = checkLabel(sheet.labelType, label);
        problems.insert(problems.end(), found.begin(), found.end());
    }
    return problems;
}

}  // namespace lm
