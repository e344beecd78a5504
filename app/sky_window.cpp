#include "app/sky_window.h"

#include "app/mars_disk_panel.h"
#include "app/night_red_setting.h"
#include "app/settings.h"
#include "app/time_zones.h"
#include "app/window_place.h"
#include "display/number_text.h"
#include "display/sky_words.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/place.h"
#include "panes/faces_strip.h"
#include "panes/mars_disk_view.h"
#include "panes/picture_menu.h"
#include "panes/sky_dome.h"
#include "panes/texts.h"
#include "towns/place_text.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStringList>
#include <QStringListModel>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

namespace orvanta {

namespace {

// The words' column and the telescope's, in pixels: fixed, so that neither moves the other as the
// words and the captions change; the dome takes the rest.
constexpr int TEXT_WIDTH = 300;
constexpr int DISKS_WIDTH = 290;
// The dome's side beside them, and the least it is still read at, stacked above them where the
// window is narrow.
constexpr int DOME_SIDE = 360;
constexpr int SMALLEST_SIDE = 260;

// Before a zone's first rule the tz database keeps the town's local mean time: said, since the
// clock then is no zone's (Berlin's ran 53 min 28 s ahead of UT until 1893).
QString meanTimeNote(const QTimeZone& zone, double utJd) {
    const UtcClockReading at = nearestMinute(utJd);
    const QDateTime instant(QDate(at.year, at.month, at.day), QTime(at.hour, at.minute), Qt::UTC);
    if (zone.abbreviation(instant) != QLatin1String("LMT")) {
        return {};
    }
    const QTimeZone::OffsetData first = zone.nextTransition(instant);
    return QStringLiteral(" The zone's rules begin %1: before, its times are local mean time "
                          "(LMT).")
        .arg(first.atUtc.isValid() ? first.atUtc.toTimeZone(zone).date().toString(Qt::ISODate)
                                   : QStringLiteral("later"));
}

// Side by side the columns keep their widths, so that neither moves the other as the words
// change; stacked, each takes the window's width.
void arrangeParts(QBoxLayout* parts, std::initializer_list<QWidget*> words, QWidget* disks,
                  QWidget* dome, bool wide) {
    parts->setDirection(wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    const auto width = [wide](QWidget* part, int fixed) {
        part->setMinimumWidth(wide ? fixed : 0);
        part->setMaximumWidth(wide ? fixed : QWIDGETSIZE_MAX);
    };
    for (QWidget* part : words) {
        width(part, TEXT_WIDTH);
    }
    width(disks, DISKS_WIDTH);
    dome->setMinimumSize(wide ? QSize(DOME_SIDE, DOME_SIDE) : QSize(SMALLEST_SIDE, SMALLEST_SIDE));
}

} // namespace

SkyWindow::SkyWindow(std::optional<PlaceEntry> place)
    : dome_(new SkyDome(this)), disk_(new MarsDiskPanel(this)), placeLabel_(new QLabel(this)),
      facts_(new QLabel(this)), placeEdit_(new QLineEdit(this)),
      townTitles_(new QStringListModel(this)), when_(new DateField(this)),
      clock_(new QComboBox(this)), steps_{} {
    setWindowTitle(QString::fromLatin1(SKY_WINDOW_TITLE));
    layOut();
    // The library's matches are shown as they are: they ignore accents, which Qt's filter would
    // not.
    auto* completer = new QCompleter(townTitles_, this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    placeEdit_->setCompleter(completer);
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& title) {
                placeEdit_->setText(title);
                usePlaceTyped();
            });
    typing_.setSingleShot(true);
    typing_.setInterval(150);
    typing_.callOnTimeout(this, [this] { offerTowns(); });
    connect(placeEdit_, &QLineEdit::textEdited, this, [this] { typing_.start(); });

    if (place) {
        place_ = place->place;
        placeFrom_ = place->town ? QString::fromStdString(townTitle(*place->town))
                                 : QStringLiteral("as given");
        townName_ = place->town ? QString::fromStdString(shownName(*place->town)) : QString();
        useClockOf(place->town ? QString::fromStdString(shownName(*place->town)) : QString(),
                   place->town ? place->town->zone : std::string());
    } else if (const auto lat = readNumberSetting("sky/latitude", -90, 90),
               lon = readNumberSetting("sky/longitude", -180, 180);
               lat && lon) {
        place_ = Place{*lat, *lon,
                       readNumberSetting("sky/height", LOWEST_HEIGHT, HIGHEST_HEIGHT).value_or(0)};
        // A town is kept by its English title, and shown in the language of the day.
        const std::optional<Town> kept =
            townKept(readSetting("sky/name").value_or(QString()).toStdString(), *place_);
        placeFrom_ = kept ? QString::fromStdString(townTitle(*kept))
                          : readSetting("sky/name").value_or(QStringLiteral("as you set it"));
        townName_ = kept ? QString::fromStdString(shownName(*kept)) : QString();
        useClockOf(kept ? QString::fromStdString(shownName(*kept))
                        : readSetting("sky/town").value_or(QString()),
                   readSetting("sky/zone").value_or(QString()).toStdString());
    } else if (const std::string zone = timeZoneName(); const auto town = townOfZone(zone)) {
        place_ = town->place;
        placeFrom_ = QStringLiteral("%1, the town of your time zone")
                         .arg(QString::fromStdString(townTitle(*town)));
        townName_ = QString::fromStdString(shownName(*town));
        useClockOf(QString::fromStdString(shownName(*town)), zone);
    } else {
        // Still a sky to look at, and plain words on what to do.
        place_ = Place{0, 0, 0};
        placeFrom_ = QStringLiteral("the equator at Greenwich, until then");
        askingForPlace_ = true;
        useClockOf({}, {});
    }
    namePictures(*this, [this](const QWidget&) { return pictureName(); });
    minute_.callOnTimeout(this, [this] { refresh(); });
    minute_.start(60000);
    resize(1000, 520); // the words, the night's faces under them, and two disks of a size
    refresh();
}

void SkyWindow::layOut() {
    // Every text here may hold words from outside (a typed place, the settings, the towns' and
    // the stars' data): none is ever markup.
    for (QLabel* label : {facts_, placeLabel_}) {
        label->setTextFormat(Qt::PlainText);
    }
    facts_->setWordWrap(true);
    facts_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // The words can be read and copied from the keyboard, and a screen reader is given them.
    facts_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    facts_->setFocusPolicy(Qt::StrongFocus); // the flags alone give only a click's
    facts_->setObjectName(QStringLiteral("facts"));
    facts_->setAccessibleName(QStringLiteral("Mars tonight in words"));
    placeLabel_->setWordWrap(true);
    placeLabel_->setObjectName(QStringLiteral("place"));
    placeEdit_->setObjectName(QStringLiteral("placeField"));
    placeEdit_->setPlaceholderText(QStringLiteral("A town such as Tromsø, or 52°31′N 13°24′E"));
    placeEdit_->setAccessibleName(QStringLiteral("Place"));
    connect(when_, &QDateTimeEdit::dateTimeChanged, this, [this] { useWhenTyped(); });
    QWidget* whenRow = layOutWhen();
    QHBoxLayout* stepsRow = layOutSteps();
    auto* column = new QVBoxLayout;
    column->addWidget(facts_);
    column->addWidget(placeLabel_);
    column->addWidget(placeEdit_);
    column->addWidget(whenRow);
    column->addLayout(stepsRow);
    column->addWidget(nightRedTick(this));
    column->addWidget(disk_->faces());
    column->addWidget(disk_->faceList(), 1);
    disk_->onInstantChosen([this](double utJd) { showInstant(utJd); });
    auto* content = new FoldingContent;
    auto* parts = new QBoxLayout(QBoxLayout::LeftToRight, content);
    parts->addWidget(dome_, 1);
    parts->addLayout(column);
    parts->addWidget(disk_);
    const auto arrange = [this, parts, whenRow](bool wide) {
        arrangeParts(parts,
                     {facts_, placeLabel_, placeEdit_, whenRow, disk_->faces(), disk_->faceList()},
                     disk_, dome_, wide);
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new FoldingArea(this, content, DOME_SIDE + TEXT_WIDTH + DISKS_WIDTH + 50, arrange));
    setMinimumSize(SMALLEST_SIDE + 40, SMALLEST_SIDE + 100);
    connect(placeEdit_, &QLineEdit::returnPressed, this, [this] { usePlaceTyped(); });
    orderTabs();
}

// The keyboard goes from the place to the clock and its steps, then over the pictures and words.
void SkyWindow::orderTabs() {
    QWidget* order[] = {placeEdit_,
                        when_,
                        clock_,
                        steps_[0],
                        steps_[1],
                        steps_[2],
                        steps_[3],
                        steps_[4],
                        dome_,
                        facts_,
                        disk_->faceList(),
                        disk_->view(0),
                        disk_->view(1),
                        disk_->orientation()};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

double SkyWindow::instant() const {
    return chosen_ ? *chosen_ : julianDateValue(currentJulianDate());
}

void SkyWindow::showInstant(std::optional<double> utJd) {
    showInstant(utJd, QString());
}

void SkyWindow::showInstant(std::optional<double> utJd, const QString& note) {
    if (utJd &&
        !(*utJd >= julianDateOfYear(FIRST_YEAR) && *utJd < julianDateOfYear(LAST_YEAR + 1))) {
        refuseInstant(QString::fromStdString(isoText(nearestMinute(*utJd), false)) +
                      QStringLiteral(" UT"));
        return;
    }
    chosen_ = utJd;
    wallNote_ = note;
    wallNoteZone_ = clockZone().id();
    // The night is the instant's own, as a snapshot of that instant computes it, not the one the
    // hourly reuse would keep.
    if (sky_ && sky_->passFoundAt != instant()) {
        sky_.reset();
    }
    refresh();
}

void SkyWindow::useClockOf(const QString& town, const std::string& zone) {
    // Any name of the zone, as the towns' list, TZ or older settings give it, is taken to the
    // one this system lists, and its clock to the one Qt has by one of its names.
    const QString zoneName = QString::fromStdString(listedZone(zone));
    if (const std::optional<QTimeZone> clock = qtTimeZoneOf(zone)) {
        zone_ = *clock;
        // Settings kept before towns were named hold only the zone: its city names it.
        const QString name =
            town.isEmpty() ? zoneName.mid(zoneName.lastIndexOf('/') + 1).replace('_', ' ') : town;
        clockFrom_ = QStringLiteral("Times are on the clock of %1 (%2).")
                         .arg(echoed(name), echoed(zoneName));
        return;
    }
    const std::optional<NearTown> nearest = nearestTown(*place_);
    const std::optional<QTimeZone> nearClock = nearest && nearest->km <= NEAREST_TOWN_REACH_KM
                                                   ? qtTimeZoneOf(nearest->town.zone)
                                                   : std::nullopt;
    if (nearClock) {
        zone_ = *nearClock;
        clockFrom_ =
            QStringLiteral(
                "Times are on the clock of %1 (%2), the nearest town known here, %3 km away.")
                .arg(QString::fromStdString(shownName(nearest->town)),
                     QString::fromStdString(nearest->town.zone))
                .arg(qRound(nearest->km));
        return;
    }
    zone_ = QTimeZone::utc();
    if (zone.empty()) {
        clockFrom_ = QStringLiteral("Times are UTC: no town known here lies within %1 km.")
                         .arg(qRound(NEAREST_TOWN_REACH_KM));
    } else {
        clockFrom_ =
            QStringLiteral("Times are UTC: this system has no clock for %1.").arg(echoed(zoneName));
    }
}

void SkyWindow::offerTowns() {
    const QString typed = placeEdit_->text().trimmed();
    QStringList titles;
    // Coordinates are not towns; one letter matches too many to help.
    if (typed.size() >= 2 && !typed.contains(QRegularExpression(QStringLiteral("[0-9]")))) {
        for (const Town& town : townsMatching(typed.toStdString(), 12)) {
            titles << QString::fromStdString(townTitle(town));
        }
    }
    townTitles_->setStringList(titles);
    if (!titles.isEmpty() && placeEdit_->hasFocus()) {
        placeEdit_->completer()->complete();
    }
}

void SkyWindow::usePlaceTyped() {
    typing_.stop();
    const QString typed = placeEdit_->text().trimmed();
    std::string why;
    const std::optional<PlaceEntry> entry = placeOfEntry(typed.toStdString(), why);
    if (!entry) {
        // The last good place stays shown, and the typed text stays to be mended.
        refresh();
        placeLabel_->setText(QStringLiteral("Not taken: %1 %2. ")
                                 .arg(echoed(typed, '"'), QString::fromStdString(why)) +
                             placeLabel_->text());
        return;
    }
    place_ = entry->place;
    askingForPlace_ = false;
    // Only a town's own zone is kept; coordinates find their nearest town anew. A town is kept
    // in English, so that it is found again in any language.
    const QString town = entry->town ? QString::fromStdString(entry->town->name) : QString();
    const std::string zone = entry->town ? entry->town->zone : std::string();
    placeFrom_ = entry->town ? QString::fromStdString(townTitle(*entry->town))
                             : QStringLiteral("as you set it");
    townName_ = entry->town ? QString::fromStdString(shownName(*entry->town)) : QString();
    const QString kept =
        entry->town ? QString::fromStdString(englishTitle(*entry->town)) : placeFrom_;
    if (entry->town) {
        placeEdit_->setText(placeFrom_); // what "tromso" was taken for
    }
    saveSettings({{"sky/latitude", settingText(place_->latitude)},
                  {"sky/longitude", settingText(place_->longitude)},
                  {"sky/height", settingText(place_->height)},
                  {"sky/name", kept},
                  {"sky/town", town},
                  {"sky/zone", QString::fromStdString(zone)}});
    useClockOf(entry->town ? QString::fromStdString(shownName(*entry->town)) : QString(), zone);
    refresh();
}

void SkyWindow::refresh() {
    const Place& p = *place_;
    const QTimeZone clock = clockZone();
    const QString asking =
        askingForPlace_ ? QStringLiteral("No town is known for your time zone: type a town or a "
                                         "latitude and longitude below. ")
                        : QString();
    // What was said of the wall time typed, while its instant is shown on its clock.
    const QString note = !wallNote_.isEmpty() && wallNoteZone_ == clock.id()
                             ? wallNote_ + QLatin1Char(' ')
                             : QString();
    when_->setAccessibleName(clockChoice_ == ClockChoice::Ut ? QStringLiteral("Date and time in UT")
                             : clockChoice_ == ClockChoice::Computer
                                 ? QStringLiteral("Date and time on this computer's clock")
                                 : QStringLiteral("Date and time on the place's clock"));
    when_->setAccessibleDescription(note.trimmed());
    placeLabel_->setText(note + asking +
                         QStringLiteral("Seen from %1° %2, %3° %4 (%5).")
                             .arg(std::fabs(p.latitude), 0, 'f', 2)
                             .arg(p.latitude >= 0 ? 'N' : 'S')
                             .arg(std::fabs(p.longitude), 0, 'f', 2)
                             .arg(p.longitude >= 0 ? 'E' : 'W')
                             .arg(echoed(placeFrom_)) +
                         QLatin1Char(' ') + clockWords() + meanTimeNote(clock, instant()));
    const double now = instant();
    showWhen(now);
    // The pass, the stars' places and the disk at the highest are kept from the record before
    // for up to an hour; what moves by the minute is found anew.
    SkyTonight sky = skyTonight(now, p, sky_ ? &*sky_ : nullptr);
    sky_ = std::move(sky);
    const ClockText told = [&clock](double utJd) {
        return zonedMinuteText(utJd, clock).toStdString();
    };
    QStringList lines;
    for (const std::string& line : tonightLines(*sky_, told)) {
        lines << QString::fromStdString(line);
    }
    facts_->setText(lines.join(QLatin1Char('\n')));
    facts_->setAccessibleDescription(lines.join(QLatin1Char(' ')));
    dome_->setAccessibleDescription(lines.join(QLatin1Char(' ')));
    dome_->setZone(clock);
    dome_->setSky(*sky_);
    disk_->showSky(*sky_, told, clock);
}

QString SkyWindow::facts() const {
    return facts_->text();
}

void SkyWindow::readAhead() {
    static bool started = false;
    if (!std::exchange(started, true)) {
        // Read into the towns' own statics, which any thread may fill and a window waits for.
        QThreadPool::globalInstance()->start([] {
            systemTowns();
            systemZoneNames();
        });
    }
}

} // namespace orvanta
