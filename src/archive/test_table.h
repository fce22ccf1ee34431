#pragma once

#include "archive/result_archive.h"

#include <QAbstractTableModel>

#include <vector>

namespace culegere {

// The archive screen's table of tests: every archived test in memory, the
// ones that pass the filters shown, in the order chosen. Filtering and
// sorting work on the rows in memory, never on the database, and on keys
// worked out once when the rows come: a name's rank among the names, the
// day and time as numbers. A test without a usable date ("fara data": none,
// or one no date field can name) sorts before every dated one.
class TestTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Pupil, Date, Time, Stopwatch, Grade, Definition, ColumnCount };
    // The days a date field can name; a test dated outside has no date.
    static QDate earliestDay();
    static QDate latestDay();
    static bool hasDate(QDate date);

    explicit TestTable(QObject *parent = nullptr);

    void setRows(QList<ArchiveRow> rows);
    const QList<ArchiveRow> &rows() const { return m_rows; }
    // Shows the tests whose pupil's name holds `namePart` (any letter case,
    // with or without diacritics) taken from `from` to `to`, both included
    // (an invalid date leaves that end open), and those without a date when
    // `undated`.
    void setFilter(const QString &namePart, QDate from, QDate to, bool undated = true);
    const ArchiveRow &shownRow(int row) const { return m_rows[m_shown[row]]; }
    int shownCount() const { return int(m_shown.size()); }
    // Whether the test at `index` of the rows given (in their order) is in
    // the range of dates, whatever its name.
    bool inDates(int index) const;
    // The first and last dated days of the archive (invalid when none).
    QDate firstDay() const { return m_firstDay; }
    QDate lastDay() const { return m_lastDay; }
    int undatedCount() const { return m_undated; }
    // The shown rows as text, in the columns' order (for the CSV file).
    QList<QStringList> shownText() const;
    static QStringList headerText();
    // The shown tests of the pupil named `pupilKey` (folded), oldest first.
    QList<ArchiveRow> shownOf(const QString &pupilKey) const;
    // The folded name of the only pupil shown; "" when none or several.
    QString onlyPupilShown() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // The keys a row is sorted and filtered by.
    struct Keys
    {
        int pupil = 0;      // rank of the folded name
        int definition = 0; // rank of the definition's text
        int day = 0;        // yyyymmdd, 0 without a date
        int clock = -1;     // seconds of the day, -1 when not known
    };
    bool before(int a, int b, int column) const;
    QString text(const ArchiveRow &row, int column) const;
    void applyOrder();
    void applyFilter();

    QList<ArchiveRow> m_rows;
    std::vector<Keys> m_keys;
    QStringList m_pupilKeys;    // the folded names, distinct, by rank
    std::vector<int> m_order;   // indexes into m_rows, in the order chosen
    std::vector<int> m_shown;   // those of m_order that pass the filter
    std::vector<char> m_passes; // per row: passes the filter
    QString m_namePart;         // folded
    int m_fromDay = 0;          // yyyymmdd
    int m_toDay = 99991231;
    bool m_withUndated = true;
    QDate m_firstDay;
    QDate m_lastDay;
    int m_undated = 0;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace culegere
