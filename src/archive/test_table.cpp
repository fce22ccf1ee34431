#include "archive/test_table.h"

#include "archive/name_folding.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace culegere {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm");
const QString kNoDate = QStringLiteral("fara data");

// Ranks of `texts` by their order: equal texts share a rank. `distinct`
// receives the texts by rank.
std::vector<int> ranks(const std::vector<const QString *> &texts, QStringList *distinct = nullptr)
{
    QHash<QString, int> rankOf;
    for (const QString *t : texts)
        rankOf.insert(*t, 0);
    QStringList sorted = rankOf.keys();
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < sorted.size(); ++i)
        rankOf[sorted[i]] = i;
    std::vector<int> result;
    result.reserve(texts.size());
    for (const QString *t : texts)
        result.push_back(rankOf.value(*t));
    if (distinct)
        *distinct = std::move(sorted);
    return result;
}

} // namespace

QDate TestTable::earliestDay()
{
    return {1752, 9, 14};
}

QDate TestTable::latestDay()
{
    return {9999, 12, 31};
}

bool TestTable::hasDate(QDate date)
{
    return date.isValid() && date >= earliestDay() && date <= latestDay();
}

TestTable::TestTable(QObject *parent) : QAbstractTableModel(parent) {}

void TestTable::setRows(QList<ArchiveRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    const auto n = size_t(m_rows.size());
    std::vector<const QString *> pupils, definitions;
    pupils.reserve(n);
    definitions.reserve(n);
    for (const ArchiveRow &r : m_rows) {
        pupils.push_back(&r.pupilKey);
        definitions.push_back(&r.definition);
    }
    const std::vector<int> pupilRanks = ranks(pupils, &m_pupilKeys);
    const std::vector<int> definitionRanks = ranks(definitions);
    m_keys.assign(n, Keys{});
    m_firstDay = m_lastDay = QDate();
    m_undated = 0;
    for (size_t i = 0; i < n; ++i) {
        const ArchiveRow &r = m_rows[qsizetype(i)];
        Keys &k = m_keys[i];
        k.pupil = pupilRanks[i];
        k.definition = definitionRanks[i];
        if (hasDate(r.date)) {
            k.day = r.date.year() * 10000 + r.date.month() * 100 + r.date.day();
            if (!m_firstDay.isValid() || r.date < m_firstDay)
                m_firstDay = r.date;
            if (!m_lastDay.isValid() || r.date > m_lastDay)
                m_lastDay = r.date;
        } else {
            ++m_undated;
        }
        if (r.time.isValid())
            k.clock = r.time.msecsSinceStartOfDay() / 1000;
    }
    m_order.resize(n);
    std::iota(m_order.begin(), m_order.end(), 0);
    applyOrder();
    applyFilter();
    endResetModel();
}

void TestTable::setFilter(const QString &namePart, QDate from, QDate to, bool undated)
{
    auto dayOf = [](QDate d) { return d.year() * 10000 + d.month() * 100 + d.day(); };
    m_namePart = foldName(namePart);
    m_fromDay = from.isValid() ? dayOf(from) : 0;
    m_toDay = to.isValid() ? dayOf(to) : dayOf(latestDay());
    m_withUndated = undated;
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
    // Each name is matched once, whatever the number of its tests.
    std::vector<char> nameMatches(size_t(m_pupilKeys.size()), 1);
    if (!m_namePart.isEmpty()) {
        for (qsizetype i = 0; i < m_pupilKeys.size(); ++i)
            nameMatches[size_t(i)] = m_pupilKeys[i].contains(m_namePart);
    }
    m_passes.assign(m_keys.size(), 0);
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_passes[i] = nameMatches[size_t(m_keys[i].pupil)] && inDates(int(i));
    // The rows are walked in the order chosen, so what passes stays sorted.
    m_shown.clear();
    for (const int i : m_order) {
        if (m_passes[size_t(i)])
            m_shown.push_back(i);
    }
}

bool TestTable::inDates(int index) const
{
    const int day = m_keys[size_t(index)].day;
    return day == 0 ? m_withUndated : day >= m_fromDay && day <= m_toDay;
}

// Orders two rows by one column, then by date and time; ties keep the
// archive's order.
bool TestTable::before(int a, int b, int column) const
{
    const Keys &x = m_keys[size_t(a)];
    const Keys &y = m_keys[size_t(b)];
    auto when = [&] { return x.day != y.day ? x.day < y.day : x.clock < y.clock; };
    const ArchiveRow &r = m_rows[a];
    const ArchiveRow &s = m_rows[b];
    switch (column) {
    case Pupil:
        return x.pupil != y.pupil ? x.pupil < y.pupil : when();
    case Time:
        return x.clock != y.clock ? x.clock < y.clock : x.day < y.day;
    case Stopwatch:
        return r.stopwatch != s.stopwatch ? r.stopwatch < s.stopwatch : when();
    case Grade:
        return r.grade != s.grade ? r.grade < s.grade : when();
    case Definition:
        return x.definition != y.definition ? x.definition < y.definition : when();
    default:
        return when();
    }
}

void TestTable::applyOrder()
{
    if (m_sortColumn < 0)
        return;
    const int column = m_sortColumn;
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return before(a, b, column); });
    } else {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return before(b, a, column); });
    }
}

QList<ArchiveRow> TestTable::shownOf(const QString &pupilKey) const
{
    // The name's rank: compared as a number, row by row.
    const auto ranked = std::lower_bound(m_pupilKeys.cbegin(), m_pupilKeys.cend(), pupilKey);
    if (ranked == m_pupilKeys.cend() || *ranked != pupilKey)
        return {};
    const int pupil = int(ranked - m_pupilKeys.cbegin());
    std::vector<int> found;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_passes[i] && m_keys[i].pupil == pupil)
            found.push_back(int(i));
    }
    std::stable_sort(found.begin(), found.end(), [&](int a, int b) { return before(a, b, Date); });
    QList<ArchiveRow> tests;
    tests.reserve(qsizetype(found.size()));
    for (const int i : found)
        tests.append(m_rows[i]);
    return tests;
}

QString TestTable::onlyPupilShown() const
{
    if (m_shown.empty())
        return QString();
    const int pupil = m_keys[size_t(m_shown.front())].pupil;
    for (const int i : m_shown) {
        if (m_keys[size_t(i)].pupil != pupil)
            return QString();
    }
    return m_pupilKeys[pupil];
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
        return hasDate(row.date) ? row.date.toString(kDateFormat) : kNoDate;
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
        line.reserve(ColumnCount);
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
