#pragma once

#include <string>
#include <vector>

namespace lm {

// The texts of the page on display, as the label file holds them: bytes in
// Windows-1252 with CR LF line breaks. Spine elements and pocket elements are
// numbered from 2 (element 1 of each array is the hidden template) up to
// lastSpineIndex() and lastPocketIndex(). The main window's label controls
// implement this; tests and the command-line tool use MemoryPage.
class LabelPage {
public:
    virtual ~LabelPage() = default;

    virtual int lastSpineIndex() const = 0;
    virtual int lastPocketIndex() const = 0;

    virtual std::string spineText(int element) const = 0;
    virtual std::string pocketText(int element) const = 0;
    virtual void setSpineText(int element, const std::string& bytes) = 0;
    virtual void setPocketText(int element, const std::string& bytes) = 0;

    // False when the text of the element holds a character that Windows-1252
    // cannot store, so spineText() could not give it back faithfully.
    virtual bool spineTextEncodable(int /*element*/) const { return true; }
    virtual bool pocketTextEncodable(int /*element*/) const { return true; }

    // Empties every spine and pocket element of the page.
    void clear();
};

// A page held in memory, for the tests and the command-line tool.
class MemoryPage : public LabelPage {
public:
    MemoryPage(int lastSpineIndex, int lastPocketIndex);
    // The page of a label type, sized as start-up builds it.
    static MemoryPage forLabelType(int labelType);

    int lastSpineIndex() const override { return int(m_spine.size()) + 1; }
    int lastPocketIndex() const override { return int(m_pocket.size()) + 1; }
    std::string spineText(int element) const override;
    std::string pocketText(int element) const override;
    void setSpineText(int element, const std::string& bytes) override;
    void setPocketText(int element, const std::string& bytes) override;

private:
    std::vector<std::string> m_spine;   // element 2 is index 0
    std::vector<std::string> m_pocket;
};

}  // namespace lm
