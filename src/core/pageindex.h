#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/readablefile.h"

namespace lm {

// The page starts of one label file for one label type, remembered as pages
// are read so that the previous page and page N are found without reading
// the file from its start again. Pages are those of reading forward from
// byte 1: each starts right after the last byte of the one before.
//
// The index only ever holds exact starts, in order and without gaps from
// page 1. It belongs to one file as it was when last seen (its identity):
// when the file is not that file any more, everything is forgotten.
class PageIndex {
  public:
    // Makes the index describe `path` read as `labelType`, as the file is
    // now; keeps what it knows only when it already described that file.
    void attach(const std::string& path, int labelType, const FileIdentity& identity);
    void forget();

    bool describes(const std::string& path, int labelType) const;
    const FileIdentity& identity() const { return m_identity; }

    // Pages whose start is known (at least 1 once attached).
    int knownPages() const { return static_cast<int>(m_starts.size()); }
    // Start of page `pageNumber` (1-based, at most knownPages()).
    std::int64_t start(int pageNumber) const { return m_starts[pageNumber - 1]; }
    std::int64_t lastKnownStart() const { return m_starts.back(); }
    // True when the last known page is the last page that holds any byte.
    bool complete() const { return m_complete; }
    std::int64_t fileLength() const { return m_identity.size; }

    // The page at `start` was read and ends at `end`. Extends the index when
    // `start` is its last known start; forgets everything when it
    // contradicts what is known.
    void notePage(std::int64_t start, std::int64_t end);

    // The known page start that comes last before `position`, when the index
    // reaches far enough to be sure there is no later one; otherwise nothing,
    // and the caller scans on from lastKnownStart().
    std::optional<std::int64_t> startBefore(std::int64_t position) const;

    // The page at `start` (not after the last known start) was saved: the
    // bytes before it are unchanged, the page now ends at `newEnd` instead of
    // `oldEnd` and holds `textsWritten` texts, and the bytes after it follow
    // unchanged. `textsPerPage` is the label type's. The file is now
    // `identity` at `path`.
    void noteSave(const std::string& path, const FileIdentity& identity, std::int64_t start,
                  std::int64_t oldEnd, std::int64_t newEnd, long long textsWritten,
                  int textsPerPage);

  private:
    std::string m_path;
    int m_labelType = 0;
    FileIdentity m_identity;
    std::vector<std::int64_t> m_starts;
    bool m_complete = false;
};

}  // namespace lm
