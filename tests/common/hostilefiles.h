#pragma once

// The hostile inputs the window's and the command-line tool's tables share.

#include <QByteArray>
#include <QString>

namespace hostile {

// What a row's input is. SparseTail: the body, then a hole of NUL bytes up to
// 2 GiB + 1. Largest: the largest label file, 2 GiB - 1 byte, of NUL bytes
// ending in the body.
enum Kind {
    Plain,
    OddName,
    LongLine,
    Sparse,
    SparseTail,
    Largest,
    Missing,
    Folder,
    Unreadable,
    Fifo
};

constexpr qint64 kPastLargestLabelFile = 2147483648LL + 1;  // 2 GiB + 1 byte

// `bytes` with each "<10MB>" replaced by 10 MiB of "x".
QByteArray expand(QByteArray bytes);

// A file of tests/data, by its name there ("/import/...").
QByteArray fixture(const char* name);

// Makes the input of `kind` at `path` from `body`; false when it could not.
bool makeInput(Kind kind, const QString& path, const QByteArray& body);

}  // namespace hostile
