#pragma once

#include "archive/result_archive.h"

#include <QAbstractTableModel>

#include <vector>

namespace culegere {

// The archive screen's table of tests: every archived test in memory, the
// ones that pass the filters shown, in the order chosen. Filtering and
// sorting work on the rows in memory, never on the database.
class TestTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Pupil, Date, Time, Stopwatch, Grade, Definition, ColumnCount };

    explicit TestTable(QObject *parent = nullptr);

    void setRows(QList<ArchiveRow> rows);
    // Shows the tests whose pupil's name holds `namePart` (any letter case,
    // with or without diacritics) taken from `from` to `to`, both included
    // (an invalid date leaves that end open).
    void setFilter(const QString &namePart, QDate from, QDate to);
    const ArchiveRow &shownRow(int row) const { return m_rows[m_shown[row]]; }
    int shownCount() const { return int(m_shown.size()); }
    // The shown rows as text, in the columns' order (for the CSV file).
    QList<QStringList> shownText() const;
    static QStringList headerText();
    // Every test of the pupil named `pupilKey` (folded), oldest first.
    QList<ArchiveRow> testsOf(const QString &pupilKey) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QString text(const ArchiveRow &row, int column) const;
    void applyOrder();
    void applyFilter();

    QList<ArchiveRow> m_rows;
    std::vector<int> m_order; // indexes into m_rows, in the order chosen
    std::vector<int> m_shown; // those of m_order that pass the filter
    QString m_namePart;       // folded
    QDate m_from;
    QDate m_to;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace culegere
