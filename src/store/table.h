#pragma once

#include <QtGlobal>

#include <vector>

namespace culegere {

// A table of a fixed number of rows, 0 to Rows - 1, like the tables of the
// data model. Rows exist from the start and are never added or removed.
template <typename T, int Rows> class Table
{
public:
    static constexpr int RowCount = Rows;

    Table() : m_rows(Rows) {}

    T &operator[](int row)
    {
        Q_ASSERT_X(row >= 0 && row < Rows, "Table", "row outside the table");
        return m_rows[static_cast<std::size_t>(row)];
    }
    const T &operator[](int row) const
    {
        Q_ASSERT_X(row >= 0 && row < Rows, "Table", "row outside the table");
        return m_rows[static_cast<std::size_t>(row)];
    }
    static constexpr bool contains(int row) { return row >= 0 && row < Rows; }

private:
    std::vector<T> m_rows;
};

} // namespace culegere
