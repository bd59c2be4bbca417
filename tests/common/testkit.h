// The shared shape of a data-driven test: its rows are plain structs, one
// table per test, each row one line that starts with its name.
//
//   struct SuffixRow { const char* name; bool closing; QString typed, written; };
//   LM_TEST_ROW(SuffixRow)
//   ...
//   void nameGetsTheLabelSuffix_data() {
//       lmtest::addRows<SuffixRow>({
//           {"no suffix", false, "labels", "labels.dat"},
//           {"other suffix", false, "labels.txt", "labels.txt"},
//       });
//   }
//   void nameGetsTheLabelSuffix() {
//       QFETCH(SuffixRow, row);
//       ... row.typed ...
//   }
//
// Rows made in a loop: lmtest::rowColumn<SuffixRow>() once, then
// QTest::addRow("refused %d", n) << SuffixRow{...} for each.
#ifndef LMTEST_TESTKIT_H
#define LMTEST_TESTKIT_H

#include <QMetaType>
#include <QTest>

#include <initializer_list>

// A row struct travels through Qt Test's data table as one value.
#define LM_TEST_ROW(Row) Q_DECLARE_METATYPE(Row)

namespace lmtest {

template <class Row>
void rowColumn() {
    QTest::addColumn<Row>("row");
}

template <class Row>
void addRows(std::initializer_list<Row> rows) {
    rowColumn<Row>();
    for (const Row& r : rows) QTest::newRow(r.name) << r;
}

}  // namespace lmtest

#endif
