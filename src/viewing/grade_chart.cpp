#include "viewing/grade_chart.h"

#include "archive/counting.h"
#include "archive/csv.h"
#include "archive/test_table.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace culegere {

namespace {
constexpr qsizetype kMostDots = 300;
}

double averageGrade(const QList<ArchiveRow> &tests)
{
    if (tests.isEmpty())
        return 0.0;
    double sum = 0;
    for (const ArchiveRow &t : tests)
        sum += t.grade;
    return sum / tests.size();
}

QString gradeCaption(const QString &pupil, const QList<ArchiveRow> &tests)
{
    if (pupil.isEmpty() || tests.isEmpty())
        return QStringLiteral("Alegeti un test din tabel pentru notele elevului");
    return QStringLiteral("%1: media %2 din %3")
        .arg(pupil, decimalText(averageGrade(tests), 2), countText(tests.size(), Counted::Tests));
}

void drawGrades(QChart *chart, const QString &pupil, const QList<ArchiveRow> &tests)
{
    chart->removeAllSeries();
    // A removed axis is the caller's to delete; removed series are deleted.
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(gradeCaption(pupil, tests));
    if (pupil.isEmpty() || tests.isEmpty())
        return;

    auto *grades = new QLineSeries;
    grades->setName(QStringLiteral("Nota"));
    grades->setMarkerSize(8);
    auto *average = new QLineSeries;
    average->setName(QStringLiteral("Media"));
    const double mean = averageGrade(tests);
    // A test without a date counts in the average but has no place in time.
    QList<QPointF> points;
    for (const ArchiveRow &t : tests) {
        if (!TestTable::hasDate(t.date))
            continue;
        const QDateTime when(t.date, t.time.isValid() ? t.time : QTime(12, 0));
        points.append({double(when.toMSecsSinceEpoch()), double(t.grade)});
    }
    if (points.isEmpty()) {
        delete grades;
        delete average;
        return;
    }
    // All at once: a point appended alone redraws the series.
    grades->replace(points);
    // Each grade a dot while they can be told apart; a line beyond.
    grades->setPointsVisible(points.size() <= kMostDots);
    // One point alone draws no line: the average spans at least a day. Half
    // a day either side keeps the first and last points whole.
    constexpr double kDay = 86'400'000.0;
    const double first = grades->at(0).x() - kDay / 2;
    const double last = std::max(grades->at(grades->count() - 1).x(), first + kDay) + kDay / 2;
    average->append(first, mean);
    average->append(last, mean);
    chart->addSeries(grades);
    chart->addSeries(average);

    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM.yyyy"));
    const int days = int((last - first) / kDay);
    time->setTickCount(std::clamp(days + 1, 2, 6));
    time->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first)),
                   QDateTime::fromMSecsSinceEpoch(qint64(last)));
    auto *scale = new QValueAxis;
    // Grades 1..10 with half a grade to spare: a 10 or a 1 shows whole.
    scale->setRange(0.5, 10.5);
    scale->setTickType(QValueAxis::TicksDynamic);
    scale->setTickAnchor(1);
    scale->setTickInterval(3); // 1, 4, 7, 10: readable on a low chart
    scale->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(scale, Qt::AlignLeft);
    for (QAbstractSeries *series :
         {static_cast<QAbstractSeries *>(grades), static_cast<QAbstractSeries *>(average)}) {
        series->attachAxis(time);
        series->attachAxis(scale);
    }
}

} // namespace culegere
