#include "core/labelfile.h"

#include <cstring>

namespace lm {

Status checkLabelFileLength(const std::string& path, std::int64_t length) {
    if (length <= kLargestLabelFileLength) return {};
    return Error{path, "the file is " + std::to_string(length) +
                           " bytes long; a label file can be at most 2,147,483,647 bytes"};
}

LabelTextReader::LabelTextReader(const ReadableFile& file, std::int64_t startPosition)
    : m_file(file), m_blocks(file, startPosition - 1) {}

std::int64_t LabelTextReader::lastPosition() const {
    return m_blocks.blockOffset() + static_cast<std::int64_t>(m_index);
}

bool LabelTextReader::fill() {
    if (m_started && m_index < m_blocks.size()) return true;
    m_started = true;
    m_index = 0;
    return m_blocks.next();
}

Result<bool> LabelTextReader::read(std::string& text) {
    text.clear();
    return readText(&text);
}

Result<bool> LabelTextReader::skip() {
    return readText(nullptr);
}

Result<bool> LabelTextReader::readText(std::string* text) {
    const std::int64_t begins = lastPosition() + 1;
    bool tooLong = false;
    while (true) {
        // Past the longest label the rest is only passed over: a file cut
        // short drops the text anyway, and a complete one is refused.
        if (text && text->size() > kLongestLabelText) {
            tooLong = true;
            text->clear();
            text->shrink_to_fit();
            text = nullptr;
        }
        if (!fill()) break;
        const char* block = m_blocks.data();
        const std::size_t size = m_blocks.size();
        const void* found = std::memchr(block + m_index, kTilde, size - m_index);
        if (!found) {
            if (text) text->append(block + m_index, size - m_index);
            m_index = size;
            continue;
        }
        std::size_t tilde = static_cast<std::size_t>(static_cast<const char*>(found) - block);
        if (text) text->append(block + m_index, tilde - m_index);
        m_index = tilde + 1;
        // The character after the tilde may start the next block.
        if (!fill()) break;
        char following = m_blocks.data()[m_index++];
        if (following == kTilde) {
            if (!tooLong) return true;
            return Error{m_file.path(), "the label that begins at byte " + std::to_string(begins) +
                                            " is longer than 64 MiB: this is not a label file"};
        }
        if (text) {
            text->push_back(kTilde);
            text->push_back(following);
        }
    }
    if (!m_blocks.status().ok()) return m_blocks.status().error();
    return false;
}

TextProblem textProblem(std::string_view text) {
    if (text.find(kTextTerminator) != std::string_view::npos) return TextProblem::TwoTildes;
    if (!text.empty() && text.back() == kTilde) return TextProblem::EndsWithTilde;
    return TextProblem::None;
}

std::string describeTextProblem(TextProblem problem) {
    switch (problem) {
        case TextProblem::TwoTildes:
            return "holds two tildes in a row (~~), which the label file uses to end a label";
        case TextProblem::EndsWithTilde:
            return "ends with a tilde (~), which the label file would move into the next label";
        case TextProblem::None:
            break;
    }
    return {};
}

}  // namespace lm
