#pragma once

namespace lm {

// What an import or extract does when its result holds no label set: write
// it all the same (an empty label file, as the command-line tool does), or
// leave the output file as it was, the previous result kept.
enum class EmptyOutput { Write, KeepPrevious };

}  // namespace lm
