#pragma once

#include <QString>

#include <memory>

#include "core/linereader.h"

class QProgressDialog;
class QWidget;

namespace lm {

// The progress window of an import or extract. The conversion runs on the
// window's thread; its progress callback keeps the window painted and gives
// the operator a Cancel button, but only for input large enough to take a
// noticeable time: a small export never flashes a window.
class ImportProgress {
  public:
    // `label` is the text above the bar, e.g. "Importing /home/ann/export.txt".
    ImportProgress(QWidget* parent, const QString& label);
    ~ImportProgress();
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;

    // For the core's conversion: false once the operator pressed Cancel.
    ProgressCallback callback();

    // Whether the window was ever shown during this operation.
    bool wasShown() const;

    // When a window is considered: input of at least `minimumBytes`, and then
    // shown only when the whole run looks like it takes `minimumDurationMs`
    // or more. The default suits an operator's desk; the tests change it and
    // put back the rule that setShowRule() returns.
    struct ShowRule {
        long long minimumBytes;
        int minimumDurationMs;
    };
    static ShowRule setShowRule(ShowRule rule);

  private:
    bool update(long long bytesDone, long long bytesTotal);

    QWidget* m_parent;
    QString m_label;
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_lastValue = -1;
    bool m_shown = false;  // the window has shown, with the arrow pointer
};

}  // namespace lm
