#include "app/approaches_window.h"

#include "display/label_rows.h"
#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"
#include "panes/accessible.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSpinBox>
#include <cmath>

namespace orvanta {

namespace {

const QColor BACKGROUND(8, 10, 28);
const QColor GRID(70, 80, 120);
const QColor TEXT(220, 225, 240);
const QColor CURVE(255, 190, 140);
const QColor APPROACH(230, 70, 40);
const QColor TARGET(255, 220, 60);
const QColor NOW(120, 200, 255);
const QColor EARTH(90, 150, 255);

constexpr double DAYS_PER_YEAR = 365.25;
constexpr int LABEL_ROWS = 3;
constexpr double LABEL_GAP = 8;
constexpr double CLICK_REACH = 14; // pixels from a marker that a click still chooses

double jdOfYear(int year) {
    return julianDateValue(julianDateFromCalendar(year, 1, 1, 0.0));
}

QString fixed(double value, int decimals) {
    char text[32];
    formatFixed(text, sizeof text, value, decimals);
    return QString::fromLatin1(text);
}

QString dayOf(double jd) {
    const UtcClockReading d = calendarOfJulianDate(jd);
    return QString::asprintf("%04d-%02d-%02d", int{d.year}, int{d.month}, int{d.day});
}

// To the nearest minute, UT.
QString minuteOf(double jd) {
    const UtcClockReading d = calendarOfJulianDate(jd + 30.0 / 86400);
    return dayOf(jd + 30.0 / 86400) +
           QString::asprintf(" %02d:%02d UT", int{d.hour}, int{d.minute});
}

double megaKm(const ClosestApproach& a) {
    return a.distanceAu * KM_PER_AU / 1e6;
}

double diameterOf(const ClosestApproach& a) {
    return encounterAt(ttOfUt(a.julianDate)).apparentDiameterArcsec;
}

} // namespace

ApproachesPicture::ApproachesPicture(QWidget* parent, const ApproachesScene& scene, Pick pick)
    : QWidget(parent), scene_(scene), pick_(std::move(pick)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ApproachesPicture::keyPressEvent(QKeyEvent* e) {
    const int count = static_cast<int>(scene_.chart.approaches.size());
    const int picked = scene_.picked;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (count > 0) {
            pick_(std::max(picked - 1, 0), false);
        }
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (count > 0) {
            pick_(std::min(picked + 1, count - 1), false);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (picked >= 0) {
            pick_(picked, true);
        }
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void ApproachesPicture::mousePressEvent(QMouseEvent* e) {
    int nearest = -1;
    double best = CLICK_REACH;
    for (int i = 0; i < static_cast<int>(scene_.chart.approaches.size()); ++i) {
        const QPointF d = placeOf(i) - e->position();
        if (std::hypot(d.x(), d.y()) <= best) {
            best = std::hypot(d.x(), d.y());
            nearest = i;
        }
    }
    if (nearest >= 0) {
        pick_(nearest, true);
    }
    QWidget::mousePressEvent(e);
}

void ApproachesPicture::focusInEvent(QFocusEvent* e) {
    framed_ = keyboardBroughtFocus(e);
    update();
    QWidget::focusInEvent(e);
}

void ApproachesPicture::focusOutEvent(QFocusEvent* e) {
    framed_ = false;
    update();
    QWidget::focusOutEvent(e);
}

QRectF DistanceChartPicture::plot() const {
    const double line = fontMetrics().height();
    const double band = line + 10 + LABEL_ROWS * (3 * line + 4);
    return QRectF(rect()).adjusted(54, 2 * line, -70, -band);
}

double DistanceChartPicture::xOf(double jd) const {
    const QRectF p = plot();
    const DistanceChart& c = scene_.chart;
    return p.left() + (jd - c.fromJd) / (c.toJd - c.fromJd) * p.width();
}

double DistanceChartPicture::topAu() const {
    double top = 0.5;
    for (const DistanceSample& s : scene_.chart.curve) {
        top = std::max(top, std::ceil(s.distanceAu / 0.5) * 0.5);
    }
    return top;
}

double DistanceChartPicture::yOf(double au) const {
    const QRectF p = plot();
    return p.bottom() - au / topAu() * p.height();
}

QPointF DistanceChartPicture::placeOf(int index) const {
    const ClosestApproach& a = scene_.chart.approaches[static_cast<std::size_t>(index)];
    return {xOf(a.julianDate), yOf(a.distanceAu)};
}

void DistanceChartPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), BACKGROUND);
    const DistanceChart& c = scene_.chart;
    const QRectF p = plot();
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    if (c.curve.empty()) {
        return;
    }

    // The distance in au on the left, in million km on the right.
    const double top = topAu();
    for (double au = 0; au <= top + 1e-9; au += 0.5) {
        painter.setPen(GRID);
        painter.drawLine(QPointF(p.left(), yOf(au)), QPointF(p.right(), yOf(au)));
        painter.setPen(TEXT);
        painter.drawText(QRectF(0, yOf(au) - line / 2, p.left() - 6, line),
                         Qt::AlignRight | Qt::AlignVCenter, fixed(au, 1));
    }
    for (double mkm = 0; mkm <= top * KM_PER_AU / 1e6; mkm += 50) {
        const double y = yOf(mkm * 1e6 / KM_PER_AU);
        painter.setPen(GRID);
        painter.drawLine(QPointF(p.right(), y), QPointF(p.right() + 4, y));
        painter.setPen(TEXT);
        painter.drawText(QRectF(p.right() + 6, y - line / 2, 64, line), Qt::AlignVCenter,
                         QString::number(qRound(mkm)));
    }
    painter.drawText(QRectF(0, 0, p.left() + 60, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("au"));
    painter.drawText(QRectF(p.left(), 0, p.width() - 60, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Closest approaches below: Mkm, million km; %1, the apparent "
                                    "diameter of Mars")
                         .arg(QChar(0x2033)));
    painter.drawText(QRectF(p.right() - 120, 0, 186, line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("million km"));

    // Years: a tick on each, a label on as many as stay readable.
    const int firstYear = calendarOfJulianDate(c.fromJd).year;
    const int lastYear = calendarOfJulianDate(c.toJd).year;
    const double perYear = p.width() / ((c.toJd - c.fromJd) / DAYS_PER_YEAR);
    int every = 1;
    for (const int step : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
        every = step;
        if (step * perYear >= metrics.horizontalAdvance(QStringLiteral("0000")) * 1.8) {
            break;
        }
    }
    for (int year = firstYear; year <= lastYear + 1; ++year) {
        const double x = xOf(jdOfYear(year));
        if (x < p.left() || x > p.right()) {
            continue;
        }
        const bool labelled = year % every == 0;
        painter.setPen(GRID);
        painter.drawLine(QPointF(x, p.bottom()), QPointF(x, p.bottom() + (labelled ? 6 : 3)));
        if (labelled) {
            painter.setPen(TEXT);
            painter.drawText(QRectF(x - 40, p.bottom() + 6, 80, line), Qt::AlignCenter,
                             QString::number(year));
        }
    }

    // Now, and the approach counted to, across the whole height.
    if (scene_.now >= c.fromJd && scene_.now <= c.toJd) {
        painter.setPen(QPen(NOW, 1, Qt::DashLine));
        painter.drawLine(QPointF(xOf(scene_.now), p.top()), QPointF(xOf(scene_.now), p.bottom()));
        painter.drawText(QRectF(xOf(scene_.now) - 40, p.top() - line, 80, line), Qt::AlignCenter,
                         QStringLiteral("now"));
    }
    if (scene_.target >= 0) {
        painter.setPen(QPen(TARGET, 2));
        const double x = placeOf(scene_.target).x();
        painter.drawLine(QPointF(x, p.top()), QPointF(x, p.bottom()));
    }

    QPolygonF curve;
    for (const DistanceSample& s : c.curve) {
        curve << QPointF(xOf(s.utJd), yOf(s.distanceAu));
    }
    painter.setPen(QPen(CURVE, 1.5));
    painter.drawPolyline(curve);

    // Each minimum marked, and labelled below the years where the labels do not overlap.
    std::vector<double> places;
    double width = 0;
    std::vector<QStringList> labels;
    for (const ClosestApproach& a : c.approaches) {
        labels.push_back({dayOf(a.julianDate), fixed(megaKm(a), 1) + QStringLiteral(" Mkm"),
                          fixed(diameterOf(a), 1) + QChar(0x2033)});
        for (const QString& text : labels.back()) {
            width = std::max(width, metrics.horizontalAdvance(text));
        }
        places.push_back(xOf(a.julianDate));
    }
    const std::vector<int> rows = labelRows(places, width, LABEL_GAP, LABEL_ROWS, scene_.target);
    for (std::size_t i = 0; i < c.approaches.size(); ++i) {
        const auto index = static_cast<int>(i);
        const QPointF at = placeOf(index);
        const bool target = index == scene_.target;
        painter.setPen(Qt::NoPen);
        painter.setBrush(target ? TARGET : APPROACH);
        painter.drawEllipse(at, target ? 5 : 3.5, target ? 5 : 3.5);
        if (index == scene_.picked) {
            painter.setPen(QPen(TEXT, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, 9, 9);
        }
        if (rows[i] < 0) {
            continue;
        }
        painter.setPen(target ? TARGET : TEXT);
        const double labelTop = p.bottom() + line + 10 + rows[i] * (3 * line + 4);
        painter.drawLine(QPointF(at.x(), labelTop - 3), QPointF(at.x(), labelTop));
        for (int k = 0; k < 3; ++k) {
            painter.drawText(QRectF(at.x() - width / 2 - 4, labelTop + k * line, width + 8, line),
                             Qt::AlignCenter, labels[i][k]);
        }
    }
    if (hasFocus() && framed_) {
        drawFocusFrame(painter, *this, 4);
    }
}

// Pixels to the au: Mars's aphelion, 1.67 au, with room for the rows of years beyond it.
double OrbitsPicture::scale() const {
    return (std::min(width(), height()) / 2.0 - 3.4 * fontMetrics().height()) / 1.67;
}

QPointF OrbitsPicture::at(const Point& p) const {
    return QPointF(width() / 2.0 + p.x * scale(), height() / 2.0 - p.y * scale());
}

QPointF OrbitsPicture::placeOf(int index) const {
    return at(scene_.orbits.approaches[static_cast<std::size_t>(index)].mars);
}

void OrbitsPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), BACKGROUND);
    const OrbitsFromAbove& o = scene_.orbits;
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    if (o.marsOrbit.empty()) {
        return;
    }
    const QPointF sun = at({0, 0});
    for (const auto& [orbit, colour] :
         {std::pair{&o.earthOrbit, EARTH}, std::pair{&o.marsOrbit, APPROACH}}) {
        QPolygonF path;
        for (const Point& q : *orbit) {
            path << at(q);
        }
        painter.setPen(QPen(colour.darker(140), 1.2));
        painter.drawPolyline(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 120));
    painter.drawEllipse(sun, 5, 5);

    // Mars comes nearest the Sun on this side: its perihelion, named on the inside of the orbit.
    const QPointF perihelion = at(o.marsPerihelion);
    painter.setBrush(APPROACH);
    painter.drawEllipse(perihelion, 2.5, 2.5);
    const QPointF inward = sun - perihelion;
    const QPointF towards = inward / std::hypot(inward.x(), inward.y());
    painter.setPen(TEXT);
    const QString perihelionText = QStringLiteral("perihelion");
    const QPointF centre =
        perihelion + towards * (metrics.horizontalAdvance(perihelionText) / 2 + 8);
    painter.drawText(QRectF(centre.x() - 60, centre.y() - line / 2, 120, line), Qt::AlignCenter,
                     perihelionText);

    // Each approach: the line from Earth to Mars at its instant, and its year beyond Mars, in
    // rows outwards where years would overlap.
    std::vector<double> places;
    for (const OrbitsFromAbove::Approach& a : o.approaches) {
        places.push_back(std::atan2(a.mars.y, a.mars.x) * 1.52 * scale()); // along Mars's orbit
    }
    const double width = metrics.horizontalAdvance(QStringLiteral("0000"));
    const std::vector<int> rows = labelRows(places, width, 4, LABEL_ROWS, scene_.target);
    for (std::size_t i = 0; i < o.approaches.size(); ++i) {
        const auto index = static_cast<int>(i);
        const bool target = index == scene_.target;
        const QPointF earth = at(o.approaches[i].earth);
        const QPointF mars = at(o.approaches[i].mars);
        painter.setPen(target ? QPen(TARGET, 2.5)
                              : QPen(index == scene_.picked ? TEXT : QColor(150, 150, 175),
                                     index == scene_.picked ? 2 : 1));
        painter.drawLine(earth, mars);
        if (rows[i] < 0) {
            continue;
        }
        const QPointF out = mars - sun;
        const QPointF label =
            mars + out / std::hypot(out.x(), out.y()) * (width / 2 + 6 + rows[i] * line);
        painter.setPen(target ? TARGET : TEXT);
        painter.drawText(
            QRectF(label.x() - width, label.y() - line / 2, 2 * width, line), Qt::AlignCenter,
            QString::number(calendarOfJulianDate(scene_.chart.approaches[i].julianDate).year));
    }
    // Where the two are now.
    for (const auto& [now, colour] :
         {std::pair{o.earthNow, EARTH}, std::pair{o.marsNow, APPROACH}}) {
        painter.setPen(QPen(TEXT, 1));
        painter.setBrush(colour);
        painter.drawEllipse(at(now), 4.5, 4.5);
    }
    painter.setPen(TEXT);
    painter.drawText(QRectF(6, 4, width * 8, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Seen from above; dots: now"));
    if (hasFocus() && framed_) {
        drawFocusFrame(painter, *this, 4);
    }
}

ApproachesWindow::ApproachesWindow(Choose choose, int fromYear, int years)
    : choose_(std::move(choose)), fromYear_(new QSpinBox(this)), years_(new QSpinBox(this)),
      chart_(new DistanceChartPicture(this, scene_, [this](int i, bool c) { pick(i, c); })),
      orbits_(new OrbitsPicture(this, scene_, [this](int i, bool c) { pick(i, c); })),
      list_(new QListWidget(this)) {
    setWindowTitle(QString::fromLatin1(APPROACHES_WINDOW_TITLE));
    const int thisYear = calendarOfJulianDate(julianDateValue(currentJulianDate())).year;
    fromYear_->setRange(1, 5990);
    fromYear_->setValue(fromYear != 0 ? fromYear : thisYear - 15);
    fromYear_->setAccessibleName(QStringLiteral("From the year"));
    years_->setRange(5, 200);
    years_->setValue(years != 0 ? years : 47);
    years_->setAccessibleName(QStringLiteral("Years shown"));
    chart_->setMinimumSize(720, 330);
    chart_->setAccessibleName(QStringLiteral("Distance over the years"));
    orbits_->setMinimumSize(330, 330);
    orbits_->setAccessibleName(QStringLiteral("Orbits from above"));
    list_->setAccessibleName(QStringLiteral("Closest approaches"));
    list_->setMinimumWidth(380);

    auto* span = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(new QLabel(QStringLiteral("From"), this)),
                       static_cast<QWidget*>(fromYear_),
                       static_cast<QWidget*>(new QLabel(QStringLiteral("for"), this)),
                       static_cast<QWidget*>(years_),
                       static_cast<QWidget*>(new QLabel(QStringLiteral("years"), this))}) {
        span->addWidget(w);
    }
    span->addStretch();
    auto* hint = new QLabel(QStringLiteral("Count down to an approach: a click on it in a picture, "
                                           "or Enter on it there or in the list."),
                            this);
    hint->setWordWrap(true);
    auto* layout = new QGridLayout(this);
    layout->addLayout(span, 0, 0, 1, 2);
    layout->addWidget(chart_, 1, 0, 1, 2);
    layout->addWidget(orbits_, 2, 0);
    layout->addWidget(list_, 2, 1);
    layout->addWidget(hint, 3, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(1, 1);
    setTabOrder(years_, chart_);
    setTabOrder(chart_, orbits_);
    setTabOrder(orbits_, list_);

    for (QSpinBox* box : {fromYear_, years_}) {
        connect(box, &QSpinBox::valueChanged, this, [this] {
            computeSpan();
            refresh();
        });
    }
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        scene_.picked = row >= 2 ? row - 2 : -1;
        chart_->update();
        orbits_->update();
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row >= 2) {
            pick(row - 2, true);
        } else {
            choose_({row == 0 ? CountdownTarget::Of2003 : CountdownTarget::Next});
        }
    });
    minute_.callOnTimeout(this, [this] { refresh(); });
    minute_.start(60000);
    resize(1000, 760);
    computeSpan();
    refresh();
}

void ApproachesWindow::computeSpan() {
    const int last = std::min(fromYear_->value() + years_->value(), 6000);
    scene_.chart = distanceChart(jdOfYear(fromYear_->value()), jdOfYear(last));
    scene_.picked = -1;
}

void ApproachesWindow::pick(int index, bool choose) {
    scene_.picked = index;
    list_->setCurrentRow(index + 2);
    if (choose) {
        choose_({CountdownTarget::Chosen,
                 scene_.chart.approaches[static_cast<std::size_t>(index)].julianDate});
    }
    chart_->update();
    orbits_->update();
}

void ApproachesWindow::refresh() {
    scene_.now = julianDateValue(currentJulianDate());
    scene_.orbits = orbitsFromAbove(scene_.chart.approaches, scene_.now);
    const double target = countdownTargetJd();
    scene_.target = -1;
    for (std::size_t i = 0; i < scene_.chart.approaches.size(); ++i) {
        if (std::fabs(scene_.chart.approaches[i].julianDate - target) < 1.0) {
            scene_.target = static_cast<int>(i);
        }
    }
    fillList();
    chart_->update();
    orbits_->update();
}

// "2027-02-20 00:12 UT: 101.42 million km, 13.84″ across, magnitude -1.2", the one counted to
// said so.
void ApproachesWindow::fillList() {
    const CountdownChoice choice = countdownChoice();
    const std::optional<ClosestApproach> next =
        nextClosestApproachAfter(scene_.now - 1.0); // as the countdown moves on, a day after
    QStringList rows = {QStringLiteral("2003: the approach of 27 August 2003"),
                        QStringLiteral("The next one") +
                            (next ? QStringLiteral(", on ") + dayOf(next->julianDate) : QString())};
    const CountdownTarget target = effectiveCountdownTarget();
    int counted = target == CountdownTarget::Of2003 ? 0 : target == CountdownTarget::Next ? 1 : -1;
    const DistanceChart& c = scene_.chart;
    for (std::size_t i = 0; i < c.approaches.size(); ++i) {
        const ClosestApproach& a = c.approaches[i];
        const EncounterState at = encounterAt(ttOfUt(a.julianDate));
        rows << QStringLiteral("%1: %2 million km, %3%4 across, magnitude %5")
                    .arg(minuteOf(a.julianDate), fixed(megaKm(a), 2),
                         fixed(at.apparentDiameterArcsec, 2), QChar(0x2033),
                         fixed(at.magnitude, 1));
        if (choice.target == CountdownTarget::Chosen && a.julianDate == choice.chosenJd) {
            counted = static_cast<int>(i) + 2;
        }
    }
    if (counted >= 0) {
        rows[counted] += QStringLiteral(" (counting down to it)");
    }
    const int current = list_->currentRow();
    if (list_->count() != rows.size()) {
        list_->clear();
        list_->addItems(rows);
    }
    for (int row = 0; row < rows.size(); ++row) {
        QListWidgetItem* item = list_->item(row);
        item->setText(rows[row]);
        QFont font = item->font();
        font.setBold(row == counted);
        item->setFont(font);
    }
    list_->setCurrentRow(std::min(current, static_cast<int>(rows.size()) - 1));

    chart_->setAccessibleDescription(
        QStringLiteral("The distance between Earth and Mars from %1 to %2, with its %3 closest "
                       "approaches; the list beside tells each.")
            .arg(calendarOfJulianDate(c.fromJd).year)
            .arg(calendarOfJulianDate(c.toJd).year)
            .arg(c.approaches.size()));
    orbits_->setAccessibleDescription(
        QStringLiteral("The orbits of Earth and Mars seen from above, with the line from Earth to "
                       "Mars at each closest approach, and where both are now."));
}

} // namespace orvanta
