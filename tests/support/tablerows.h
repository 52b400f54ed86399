#pragma once

// A static table as the data of a test: one data row per table row, named by
// the row's name (which says the fault the row catches), carrying its index.

#include <QtTest>

#include <cstddef>

template <typename Row, std::size_t N>
void tableRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].name) << int(i);
}

// The table row of the running data row, as `row`.
#define ORX_ROW(rows) const auto& row = (rows)[*static_cast<const int*>(QTest::qData("row", QMetaType::Int))]
