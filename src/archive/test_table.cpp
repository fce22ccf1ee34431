#include "archive/test_table.h"

#include "archive/name_folding.h"

#include <algorithm>
#include <numeric>

namespace culegere {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm");

// Orders two rows by one column; ties keep the archive's order.
bool before(const ArchiveRow &a, const ArchiveRow &b, int column)
{
    auto key = [column](const ArchiveRow &r) {
        switch (column) {
        case TestTable::Pupil:
            return std::make_tuple(r.pupilKey, 0, r.date.toJulianDay(),
                                   r.time.msecsSinceStartOfDay());
        case TestTable::Time:
            return std::make_tuple(QString(), r.time.msecsSinceStartOfDay(), r.date.toJulianDay(),
                                   0);
        case TestTable::Stopwatch:
            return std::make_tuple(QString(), r.stopwatch, qint64(0), 0);
        case TestTable::Grade:
            return std::make_tuple(QString(), r.grade, qint64(0), 0);
        case TestTable::Definition:
            return std::make_tuple(r.definition, 0, qint64(0), 0);
        default:
            return std::make_tuple(QString(), 0, r.date.toJulianDay(),
                                   r.time.msecsSinceStartOfDay());
        }
    };
    return key(a) < key(b);
}

} // namespace

TestTable::TestTable(QObject *parent) : QAbstractTableModel(parent) {}

void TestTable::setRows(QList<ArchiveRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_shown.resize(m_rows.size());
    std::iota(m_shown.begin(), m_shown.end(), 0);
    applyOrder();
    endResetModel();
}

void TestTable::setFilter(const QString &namePart, QDate from, QDate to)
{
    const QString part = foldName(namePart);
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        const ArchiveRow &r = m_rows[i];
        if ((part.isEmpty() || r.pupilKey.contains(part)) && (!from.isValid() || r.date >= from) &&
            (!to.isValid() || r.date <= to))
            m_shown.push_back(i);
    }
    applyOrder();
    endResetModel();
}

void TestTable::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    beginResetModel();
    std::sort(m_shown.begin(), m_shown.end());
    applyOrder();
    endResetModel();
}

void TestTable::applyOrder()
{
    if (m_sortColumn < 0)
        return;
    const int column = m_sortColumn;
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_shown.begin(), m_shown.end(),
                         [&](int a, int b) { return before(m_rows[a], m_rows[b], column); });
    } else {
        std::stable_sort(m_shown.begin(), m_shown.end(),
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
