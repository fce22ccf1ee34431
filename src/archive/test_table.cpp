#include "archive/test_table.h"

#include "archive/name_folding.h"

#include <algorithm>
#include <numeric>

namespace culegere {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm");

// Orders two rows by one column, then by date and time; ties keep the
// archive's order. Compares in place: sorting 100,000 rows copies nothing.
bool before(const ArchiveRow &a, const ArchiveRow &b, int column)
{
    auto when = [](const ArchiveRow &a, const ArchiveRow &b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.time.msecsSinceStartOfDay() < b.time.msecsSinceStartOfDay();
    };
    switch (column) {
    case TestTable::Pupil:
        if (const int c = a.pupilKey.compare(b.pupilKey); c != 0)
            return c < 0;
        return when(a, b);
    case TestTable::Time:
        if (a.time.msecsSinceStartOfDay() != b.time.msecsSinceStartOfDay())
            return a.time.msecsSinceStartOfDay() < b.time.msecsSinceStartOfDay();
        return a.date < b.date;
    case TestTable::Stopwatch:
        return a.stopwatch != b.stopwatch ? a.stopwatch < b.stopwatch : when(a, b);
    case TestTable::Grade:
        return a.grade != b.grade ? a.grade < b.grade : when(a, b);
    case TestTable::Definition:
        if (const int c = a.definition.compare(b.definition); c != 0)
            return c < 0;
        return when(a, b);
    default:
        return when(a, b);
    }
}

} // namespace

TestTable::TestTable(QObject *parent) : QAbstractTableModel(parent) {}

void TestTable::setRows(QList<ArchiveRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    applyOrder();
    applyFilter();
    endResetModel();
}

void TestTable::setFilter(const QString &namePart, QDate from, QDate to)
{
    m_namePart = foldName(namePart);
    m_from = from;
    m_to = to;
    beginResetModel();
    applyFilter();
    endResetModel();
}

void TestTable::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    beginResetModel();
    std::iota(m_order.begin(), m_order.end(), 0);
    applyOrder();
    applyFilter();
    endResetModel();
}

void TestTable::applyFilter()
{
    // The rows are walked in the order chosen, so what passes stays sorted.
    m_shown.clear();
    for (const int i : m_order) {
        const ArchiveRow &r = m_rows[i];
        if ((m_namePart.isEmpty() || r.pupilKey.contains(m_namePart)) &&
            (!m_from.isValid() || r.date >= m_from) && (!m_to.isValid() || r.date <= m_to))
            m_shown.push_back(i);
    }
}

void TestTable::applyOrder()
{
    if (m_sortColumn < 0)
        return;
    const int column = m_sortColumn;
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return before(m_rows[a], m_rows[b], column); });
    } else {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return before(m_rows[b], m_rows[a], column); });
    }
}

QList<ArchiveRow> TestTable::testsOf(const QString &pupilKey) const
{
    QList<ArchiveRow> tests;
    for (const ArchiveRow &r : m_rows) {
        if (r.pupilKey == pupilKey)
            tests.append(r);
    }
    std::stable_sort(tests.begin(), tests.end(),
                     [](const ArchiveRow &a, const ArchiveRow &b) { return before(a, b, Date); });
    return tests;
}

QStringList TestTable::headerText()
{
    return {QStringLiteral("Nume"),       QStringLiteral("Data"), QStringLiteral("Ora"),
            QStringLiteral("Cronometru"), QStringLiteral("Nota"), QStringLiteral("Test definit")};
}

QString TestTable::text(const ArchiveRow &row, int column) const
{
    switch (column) {
    case Pupil:
        return row.pupil;
    case Date:
        return row.date.toString(kDateFormat);
    case Time:
        return row.time.isValid() ? row.time.toString(kTimeFormat) : QString();
    case Stopwatch:
        return QString::number(row.stopwatch);
    case Grade:
        return QString::number(row.grade);
    case Definition:
        return row.definition;
    default:
        return QString();
    }
}

QList<QStringList> TestTable::shownText() const
{
    QList<QStringList> lines;
    lines.reserve(qsizetype(m_shown.size()));
    for (int i : m_shown) {
        QStringList line;
        for (int column = 0; column < ColumnCount; ++column)
            line.append(text(m_rows[i], column));
        lines.append(line);
    }
    return lines;
}

int TestTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int TestTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TestTable::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(m_shown.size()))
        return {};
    return text(m_rows[m_shown[index.row()]], index.column());
}

QVariant TestTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headerText().at(section);
}

} // namespace culegere
