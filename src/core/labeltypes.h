#pragma once

#include <string>

namespace lm {

// The label types, numbered as the settings file stores them.
enum LabelTypeIndex {
    kSp1 = 1,
    kSp2 = 2,
    kSl4 = 3,
    kSl6 = 4,
    kSlb = 5,
    kSlb2 = 6,
    kSpa = 7,
    kSp1Sp2F2 = 8,
    kMailer1 = 9,
    kSp1Sp2F3 = 10,
};

constexpr int kFirstLabelType = 1;
constexpr int kLastLabelType = 10;

// What one label type fixes about its sheet and its label sets.
struct LabelTypeInfo {
    int index;
    const char* name;         // as Show Setup prints it
    const char* menuCaption;  // with its access-key ampersand
    int setsPerPage;
    int pocketsPerSet;        // 0, 1 or 2 texts after the spine text
    int defaultTopMargin;
    int defaultLeftMargin;
    int spineFontSize;        // written into the settings when the type is chosen
    int exitThreshold;        // counter value at which Exit offers to clear the file
    int insertLimit;          // largest count Insert Blank accepts; -1 = no limit
    int printVerticalCorrection;  // twips the printed spine labels move up

    int textsPerSet() const { return 1 + pocketsPerSet; }
    int textsPerPage() const { return setsPerPage * textsPerSet(); }
    bool hasPockets() const { return pocketsPerSet > 0; }
    // sp2 writes and edits its spine labels in neighbouring pairs.
    bool pairsSpines() const { return index == kSp2; }
    int spineTextsPerSetPosition() const { return pairsSpines() ? 2 : 1; }
    // The page writer's set positions run from 2 to this value.
    int lastSetPosition() const { return 1 + setsPerPage / spineTextsPerSetPosition(); }
};

// The row for `index`, or nullptr for a type outside 1 to 10.
const LabelTypeInfo* labelTypeInfo(int index);

// The name Show Setup prints; empty for a type outside 1 to 10.
std::string labelTypeName(int index);

}  // namespace lm
