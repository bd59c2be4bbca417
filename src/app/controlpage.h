#pragma once

#include "core/labelpage.h"

namespace lm {

class LabelArrays;
struct AppState;

// The page on display as the core reads and saves it: the texts of the label
// controls, elements 2 .. LastSpineIndex and 2 .. LastPocketIndex.
class ControlPage : public LabelPage {
  public:
    ControlPage(const LabelArrays& labels, const AppState& state)
        : m_labels(labels), m_state(state) {}

    int lastSpineIndex() const override;
    int lastPocketIndex() const override;
    std::string spineText(int element) const override;
    std::string pocketText(int element) const override;
    void setSpineText(int element, const std::string& bytes) override;
    void setPocketText(int element, const std::string& bytes) override;
    bool spineTextEncodable(int element) const override;
    bool pocketTextEncodable(int element) const override;

  private:
    const LabelArrays& m_labels;
    const AppState& m_state;
};

}  // namespace lm
