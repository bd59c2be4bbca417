#pragma once

#include <QDialog>
#include <functional>

#include "core/calibrationmeasure.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace lm {

class Dialogs;

// Setup, Printer Calibration: prints the calibration sheet on the current
// printer, takes the four distances the operator measured on it, and stores,
// shows or removes the printer's calibration in the calibration file. Every
// message goes through `dialogs`, titled "Kelvarine Label Maker".
class CalibrationDialog : public QDialog {
    Q_OBJECT
  public:
    // `meant` is where the sheet's crosshairs are; `printSheet` prints the
    // sheet and reports its own failures.
    CalibrationDialog(Dialogs& dialogs, const QString& printer, const CrosshairPair& meant,
                      std::function<void()> printSheet, QWidget* parent = nullptr);

    void printSheet();
    void store();
    void showValues();
    void reset();

  private:
    LengthUnit unit() const;
    void unitChanged();
    void showStored();

    Dialogs& m_dialogs;
    QString m_printer;
    CrosshairPair m_meant;
    std::function<void()> m_printSheet;
    QComboBox* m_unit = nullptr;
    QDoubleSpinBox* m_fields[4] = {};
    QLabel* m_expected = nullptr;
    QLabel* m_stored = nullptr;
    LengthUnit m_shownUnit = LengthUnit::Millimetre;
};

}  // namespace lm
