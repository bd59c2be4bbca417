#include "core/pageindex.h"

#include <algorithm>

namespace lm {

void PageIndex::attach(const std::string& path, int labelType, const FileIdentity& identity) {
    if (describes(path, labelType) && m_identity == identity) return;
    m_path = path;
    m_labelType = labelType;
    m_identity = identity;
    m_starts.assign(1, 1);
    // An empty file has one page, holding nothing.
    m_complete = identity.size <= 0;
}

void PageIndex::forget() {
    m_path.clear();
    m_labelType = 0;
    m_identity = FileIdentity{};
    m_starts.clear();
    m_complete = false;
}

bool PageIndex::describes(const std::string& path, int labelType) const {
    return !m_starts.empty() && m_path == path && m_labelType == labelType;
}

void PageIndex::notePage(std::int64_t start, std::int64_t end) {
    if (m_starts.empty() || end < start) return;
    auto at = std::lower_bound(m_starts.begin(), m_starts.end(), start);
    if (at == m_starts.end() || *at != start) return;  // not a page start we know
    auto following = at + 1;
    if (following != m_starts.end()) {
        if (*following != end + 1) forget();
        return;
    }
    if (m_complete) {
        if (end != fileLength()) forget();
        return;
    }
    if (end >= fileLength()) {
        m_complete = true;
    } else {
        m_starts.push_back(end + 1);
    }
}

std::optional<std::int64_t> PageIndex::startBefore(std::int64_t position) const {
    if (m_starts.empty() || position <= 1) return std::nullopt;
    if (!m_complete && m_starts.back() < position) return std::nullopt;
    auto after = std::lower_bound(m_starts.begin(), m_starts.end(), position);
    return *(after - 1);
}

void PageIndex::noteSave(const std::string& path, const FileIdentity& identity, std::int64_t start,
                         std::int64_t oldEnd, std::int64_t newEnd, long long textsWritten,
                         int textsPerPage) {
    if (m_starts.empty()) return;
    // Starts up to the saved page depend only on the bytes before it.
    auto firstAfter = std::upper_bound(m_starts.begin(), m_starts.end(), start);
    std::vector<std::int64_t> later(firstAfter, m_starts.end());
    bool wasComplete = m_complete;
    bool onPageStart = firstAfter != m_starts.begin() && *(firstAfter - 1) == start;
    m_starts.erase(firstAfter, m_starts.end());
    m_complete = false;
    m_path = path;
    m_identity = identity;
    if (!onPageStart) return;

    const std::int64_t length = identity.size;
    // More texts than a page holds: the page now ends among them, found by a scan.
    if (textsWritten > textsPerPage) return;
    if (newEnd >= length) {
        // Nothing follows the saved page: it is the last one.
        m_complete = true;
        return;
    }
    // Fewer texts: the page now reaches into what follows, found by a scan.
    if (textsWritten != textsPerPage) return;
    // A full page read from `start` ends exactly where the written one does.
    m_starts.push_back(newEnd + 1);
    if (!later.empty() && later.front() == oldEnd + 1) {
        // The rest of the file moved as a block; its pages moved with it.
        const std::int64_t shift = newEnd - oldEnd;
        for (std::size_t i = 1; i < later.size(); ++i) m_starts.push_back(later[i] + shift);
        m_complete = wasComplete;
    }
}

}  // namespace lm
