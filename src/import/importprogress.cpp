#include "import/importprogress.h"

#include <QGuiApplication>
#include <QProgressDialog>

#include <utility>

namespace lm {
namespace {

// A few megabytes convert in well under a second; below that a progress
// window would only flash.
ImportProgress::ShowRule s_rule{4LL * 1024 * 1024, 500};

// The bar counts per mille: byte counts do not fit an int.
constexpr int kSteps = 1000;

}  // namespace

ImportProgress::ImportProgress(QWidget* parent, const QString& label)
    : m_parent(parent), m_label(label) {}

ImportProgress::~ImportProgress() {
    if (m_shown) QGuiApplication::restoreOverrideCursor();
}

ImportProgress::ShowRule ImportProgress::setShowRule(ShowRule rule) {
    std::swap(rule, s_rule);
    return rule;
}

ProgressCallback ImportProgress::callback() {
    return
        [this](long long bytesDone, long long bytesTotal) { return update(bytesDone, bytesTotal); };
}

bool ImportProgress::wasShown() const {
    return m_shown;
}

bool ImportProgress::update(long long bytesDone, long long bytesTotal) {
    if (bytesTotal < s_rule.minimumBytes || bytesTotal <= 0) return true;
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_label, QStringLiteral("Cancel"), 0, kSteps,
                                                     m_parent);
        m_dialog->setObjectName(QStringLiteral("ImportProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Kelvarine Label Maker"));
        // Modal, so that while setValue() lets events run only its Cancel
        // button takes the operator's input, and no command starts meanwhile.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setMinimumDuration(s_rule.minimumDurationMs);
        m_dialog->setValue(0);  // starts the dialog's clock for the "is it slow" estimate
    }
    int value = int(bytesDone * kSteps / bytesTotal);
    if (value != m_lastValue) {
        m_lastValue = value;
        m_dialog->setValue(value);
        if (m_dialog->isVisible() && !m_shown) {
            // The busy pointer of the command would hide that Cancel is there to press.
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
            m_shown = true;
        }
    }
    return !m_dialog->wasCanceled();
}

}  // namespace lm
