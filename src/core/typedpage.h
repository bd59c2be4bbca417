#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace lm {

// The texts typed on a changed page that could not be saved before the
// program was ended (a logout, a shutdown), kept in the working folder
// until the next start offers them back.
struct TypedPage {
    std::string fileName;  // the label file the page belongs to; empty for a new file
    int pageNumber = 1;
    int labelType = 0;
    // The texts of spine elements 2, 3, ... and pocket elements 2, 3, ...,
    // as the label file would hold them.
    std::vector<std::string> spineTexts;
    std::vector<std::string> pocketTexts;

    bool operator==(const TypedPage& other) const;
    bool operator!=(const TypedPage& other) const { return !(*this == other); }
};

// Its name in the working folder: hidden, so the label file manager does not
// list it, and without the ".dat" or ".txt" that Load offers.
inline constexpr const char* kTypedPageFile = ".labelmaker-unsaved-page";

// The file's bytes: a first line that names the format, then the file name,
// the page number, the label type and every text, each text and name
// preceded by its length, so any byte may stand in a text.
std::string encodeTypedPage(const TypedPage& page);
// The page back from those bytes; anything else is refused with a reason.
Result<TypedPage> decodeTypedPage(std::string_view bytes);

// Writes `page` into `path` atomically: the old file stays whole until the
// new one is on disk.
Status writeTypedPageFile(const std::string& path, const TypedPage& page);
// The page kept in `path`; nothing when there is no such file.
Result<std::optional<TypedPage>> readTypedPageFile(const std::string& path);

}  // namespace lm
