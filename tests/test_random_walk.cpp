// A seeded random walk through the real windows, headless. The walk types
// anything into any box a user can reach (huge, negative, full-width, empty,
// non-numeric and ill-formed text, by keys and by input-method events),
// presses every button, uses both menu commands, opens, hides, closes and
// reopens the weekly schedule and About windows, and answers every message
// box in one of the ways a user can. After each action it checks that the
// program is alive and that its state is one the windows allow, against a
// model of its own of what the user did.
//
// Settings, from the environment:
//   SORANIKA_WALK_SEED     the seed (default kDefaultSeed)
//   SORANIKA_WALK_ACTIONS  how many actions (default kDefaultActions)
//   SORANIKA_WALK_VERBOSE  print every action as it runs (any value but 0)
// The walk is deterministic: the same seed and a count of N replay its
// first N actions. A failure prints the seed, the numbered actions since the
// program last started and the command line that replays them.
#include "about_window.h"
#include "fake_system.h"
#include "forms.h"
#include "guard.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "module1.h"
#include "schedule.h"
#include "schedule_window.h"
#include "sysinfo.h"
#include "wage.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMap>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

using namespace soranika;
using namespace testing;

namespace {

constexpr quint64 kDefaultSeed = 20240611;
constexpr qint64 kDefaultActions = 5000;

struct Settings {
    quint64 seed = kDefaultSeed;
    qint64 actions = kDefaultActions;
    bool verbose = false;
};
Settings settings;

std::string U8(const QString& text) {
    return text.toStdString();
}

const QString kNotCalculated = MainWindow::NotCalculated();
const QString kDetailModeMask = QStringLiteral("****");
const QString kInputMask = Q(texts::kInputMask);
const QString kDailyMask = Q(texts::kDailyMask);
const QString kSwitchMessage = ScheduleWindow::DetailModeMessage();
const QString kSysInfoMessage = QString::fromStdU16String(std::u16string(kSysInfoUnavailable));
// 時給, 開始時間, 終了時間, 週: the order of EvaluateWage's texts.
const QStringList kMainBoxes = {"時給", "開始時間", "終了時間", "週"};
const QStringList kHourGroupLabels = {"Label3", "Label6", "Label7", "Label4", "Label5"};
const QStringList kDayFields = ScheduleWindow::DayFieldNames();

// The standard's 64-bit Mersenne Twister, whose sequence the standard fixes:
// a seed replays on every platform and standard library. Its numbers are
// mapped to a range here, not by a distribution, whose algorithm is the
// library's own.
class Random {
public:
    explicit Random(quint64 seed) : engine_(seed) {}
    // Uniform in 0 .. n-1, n > 0.
    quint32 Below(qsizetype n) {
        const quint64 range = quint64(n);
        const quint64 max = std::numeric_limits<quint64>::max();
        const quint64 limit = max - max % range;
        quint64 value = 0;
        do {
            value = engine_();
        } while (value >= limit);
        return quint32(value % range);
    }
    int Between(int low, int high) { return low + int(Below(high - low + 1)); }
    bool Percent(int percent) { return int(Below(100)) < percent; }
    template <typename List> auto Pick(const List& items) { return items[Below(items.size())]; }

private:
    std::mt19937_64 engine_;
};

// Picks one of several choices by weight.
template <typename T> class Weighted {
public:
    Weighted& Add(int weight, T choice) {
        if (weight > 0) {
            choices_.push_back({weight, std::move(choice)});
            total_ += weight;
        }
        return *this;
    }
    const T& Pick(Random& random) const {
        int point = int(random.Below(total_));
        for (const auto& [weight, choice] : choices_) {
            if (point < weight) {
                return choice;
            }
            point -= weight;
        }
        return choices_.back().second;
    }

private:
    std::vector<std::pair<int, T>> choices_;
    int total_ = 0;
};

// A text as the action list shows it: control characters, blanks other
// than U+0020 and U+3000 and lone surrogates escaped, long texts cut.
QString Quoted(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 40) {
            out += QStringLiteral("…(%1 units)").arg(text.size());
            break;
        }
        const QChar c = text[i];
        const char16_t u = c.unicode();
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            out += c;
            out += text[++i];
        } else if (u < 0x20 || u == 0x7f || c.isSurrogate() || (u >= 0x80 && u < 0xa0) ||
                   (u >= 0x2000 && u <= 0x200f) || (u >= 0x2028 && u <= 0x202e) || u == 0xfeff) {
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QChar(u'0'));
        } else {
            out += c;
        }
    }
    return QStringLiteral("\"") + out + QStringLiteral("\"");
}

// ---------------------------------------------------------------------------
// What the walk types.

enum class BoxKind { Wage, Start, End, Days, DayStart, DayEnd };

BoxKind KindOfMainBox(int box) {
    constexpr BoxKind kinds[] = {BoxKind::Wage, BoxKind::Start, BoxKind::End, BoxKind::Days};
    return kinds[box];
}

QString FullWidth(const QString& ascii) {
    QString out;
    for (QChar c : ascii) {
        if (c == u' ') {
            out += QChar(0x3000);
        } else if (c.unicode() > 0x20 && c.unicode() < 0x7f) {
            out += QChar(char16_t(c.unicode() + 0xFEE0));
        } else {
            out += c;
        }
    }
    return out;
}

// A value a user of the box would type.
QString Plausible(Random& r, BoxKind kind) {
    // Draws are sequenced one by one, so that every compiler makes the
    // same walk of a seed.
    const auto hour = [&r](int low, int high) {
        const QString whole = QString::number(r.Between(low, high));
        return r.Percent(20) ? whole + ".5" : whole;
    };
    switch (kind) {
    case BoxKind::Wage:
        return r.Percent(15) ? hour(600, 700) : hour(681, 1500);
    case BoxKind::Start:
        return hour(4, 14);
    case BoxKind::End:
        return hour(9, 23);
    case BoxKind::Days:
        return QString::number(r.Between(0, 7));
    case BoxKind::DayStart:
        return hour(0, 23);
    case BoxKind::DayEnd:
        return hour(0, 24);
    }
    return {};
}

const QStringList kHuge = {"1e308",
                           "1.7976931348623157e308",
                           "1.7976931348623159e308",
                           "1e309",
                           "1e999",
                           "-1e999",
                           "9.9e307",
                           "1D308",
                           "1E+308",
                           "5e400",
                           "&HFFFFFFFFFFFFFFFFFFFFFFFF",
                           "123456789012345678901234567890"};
const QStringList kNegative = {"-1",     "-700", "-0",          "-0.5",    "\uFF0D\uFF15",
                               "-9e307", "- 5",  "-32769",      "-1e-400", "-&H10",
                               "--5",    "+-5",  "\uFF0D７００"};
const QStringList kNonNumeric = {"abc",      "時給",  "円",   "∞",         "NaN", "nan",  "inf",
                                 "Infinity", "e5",    ".",    "-",         "+",   "&",    "&H",
                                 "&O",       "&B101", "0x1F", "１２three", "٣",   "Ⅻ",    "½",
                                 "¹",        "ⅷ",     "〇",   "一",        "E",   "Ｅ５", "."};
const QStringList kHexOctal = {"&HFF",    "&hff",  "&H7FFF", "&H8000", "&HFFFF",
                               "&H10000", "&O777", "&o17",   "&H-1",   "&O8",
                               "&HG",     "&H2D0", "&O1320", "&H 2D0", "＆Ｈ２Ｄ０"};
const QStringList kOver16Bit = {"32767",    "32768",    "32767.5", "32766.5",  "-32768",
                                "-32768.5", "-32769",   "40000",   "65536",    "1e5",
                                "99999999", "3.2768E4", "&H7FFF",  "&O100000", "１００００００"};
const QStringList kMasks = {"***", "****", "*****", kNotCalculated, "*"};
const QStringList kBlanks = {" 9 ",          "9\t", "1 7",      "\t\n 700",  "7 0 0",
                             "\u3000\u3000", "  ",  "\u3000９", "9\u3000時", "1\r\n7"};
const QStringList kTiny = {"1e-400", "4.9e-324", "2.5e-5", "0.00001", "1e-5",
                           "0.1",    ".5",       "5.",     "0",       "0.0000000000001"};
const QStringList kUnits = {"時", "円", "日", "時間", " yen", "h", "ｈ"};

// A character from everywhere: ASCII, full-width forms, ideographs, a pair
// of surrogates, a combining mark, direction marks, controls, NUL.
QString GarbageCharacter(Random& r) {
    switch (r.Below(10)) {
    case 0:
    case 1:
    case 2:
        return QString(QChar(char16_t(r.Between(0x20, 0x7e))));
    case 3:
        return QString(QChar(char16_t(r.Between(0xFF01, 0xFF5E))));
    case 4:
        return r.Pick(QStringList{"\u3000", "時", "円", "週", "日", "〇", "・"});
    case 5:
        return QString::fromUcs4(&U"\U0001F600\U0001D7D7\U00020BB7"[r.Below(3)], 1);
    case 6:
        return r.Pick(QStringList{"\u0301", "\u202E", "\u200B", "\uFEFF", "\uFFFD", "\u00A0"});
    case 7:
        return QString(QChar(char16_t(r.Between(0, 0x1f))));
    case 8:
        return QString(QChar(char16_t(r.Between(0x30, 0x39))));
    default:
        return r.Pick(QStringList{".", "-", "+", "e", "E", "&", "H", "D"});
    }
}

QString TextFor(Random& r, BoxKind kind) {
    const bool dayField = kind == BoxKind::DayStart || kind == BoxKind::DayEnd;
    switch (r.Below(20)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return Plausible(r, kind);
    case 7:
        return QString();
    case 8:
        return r.Pick(kHuge);
    case 9:
        return r.Pick(kNegative);
    case 10:
        return FullWidth(r.Percent(70) ? Plausible(r, kind) : r.Pick(kHuge));
    case 11:
        return r.Pick(kNonNumeric);
    case 12:
        return r.Pick(kHexOctal);
    case 13:
        return dayField || r.Percent(30) ? r.Pick(kOver16Bit) : r.Pick(kMasks);
    case 14:
        return r.Pick(kBlanks);
    case 15:
        return r.Pick(kTiny);
    case 16: {
        const QString number = Plausible(r, kind);
        return number + r.Pick(kUnits);
    }
    case 17: {
        QString text;
        const int length = r.Between(1, 24);
        while (text.size() < length) {
            text += GarbageCharacter(r);
        }
        return text;
    }
    case 18: {
        // Long runs of digits; now and then more than a box holds.
        const qsizetype length = r.Percent(5) ? 40000 : r.Between(16, 2000);
        QString digits(length, QChar(u'0' + char16_t(r.Between(1, 9))));
        if (r.Percent(50)) {
            digits.insert(r.Between(1, int(length) - 1), u'.');
        }
        return r.Percent(20) ? QStringLiteral("-") + digits : digits;
    }
    default: {
        const QString number = r.Pick(kHuge);
        return number + r.Pick(kUnits);
    }
    }
}

// ---------------------------------------------------------------------------
// How the walk types it.

enum class How { Keys, Commit, Append, Backspace, Preedit, IllFormed };

struct Typing {
    How how = How::Keys;
    QString text;
    QString other; // IllFormed: what the input method commits instead
    int variant = 0;
    int from = 0;
    int length = 0;
};

Typing ChooseTyping(Random& r, BoxKind kind) {
    Typing t;
    t.how = Weighted<How>()
                .Add(40, How::Keys)
                .Add(30, How::Commit)
                .Add(10, How::Append)
                .Add(7, How::Backspace)
                .Add(7, How::Preedit)
                .Add(6, How::IllFormed)
                .Pick(r);
    t.text = TextFor(r, kind);
    if (t.how == How::Keys && t.text.size() > 300) {
        t.how = How::Commit;
    }
    if (t.how == How::Backspace) {
        t.length = r.Between(1, 8);
    }
    if (t.how == How::IllFormed) {
        t.variant = int(r.Below(4));
        t.from = r.Between(-8, 40);
        t.length = r.Between(-8, 40);
        t.other = TextFor(r, kind);
        const char16_t lone =
            char16_t(r.Percent(50) ? r.Between(0xD800, 0xDBFF) : r.Between(0xDC00, 0xDFFF));
        if (t.variant == 0) {
            t.text.insert(r.Between(0, int(t.text.size())), QChar(lone));
        }
    }
    return t;
}

QString Describe(const Typing& t) {
    switch (t.how) {
    case How::Keys:
        return QStringLiteral("keys ") + Quoted(t.text);
    case How::Commit:
        return QStringLiteral("input method ") + Quoted(t.text);
    case How::Append:
        return QStringLiteral("append ") + Quoted(t.text);
    case How::Backspace:
        return QStringLiteral("backspace ×%1").arg(t.length);
    case How::Preedit:
        return QStringLiteral("compose, then commit ") + Quoted(t.text);
    case How::IllFormed:
        switch (t.variant) {
        case 0:
            return QStringLiteral("input method, lone surrogate ") + Quoted(t.text);
        case 1:
            return QStringLiteral("input method replacing %1,%2 by ").arg(t.from).arg(t.length) +
                   Quoted(t.text);
        case 2:
            return QStringLiteral("compose ") + Quoted(t.text) + QStringLiteral(", commit ") +
                   Quoted(t.other);
        default:
            return QStringLiteral("input method with controls ") + Quoted(t.text);
        }
    }
    return {};
}

void Commit(QLineEdit* box, const QString& text, int from = 0, int length = 0) {
    QInputMethodEvent commit;
    commit.setCommitString(text, from, length);
    QApplication::sendEvent(box, &commit);
}

void Compose(QLineEdit* box, const QString& text) {
    QInputMethodEvent compose(text, {});
    QApplication::sendEvent(box, &compose);
}

void ClearBox(QLineEdit* box) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
}

// Types into a box as the user does; returns the text the box should hold
// now, or nothing where that is up to the toolkit (ill-formed input,
// backspacing over pairs of surrogates, a text already over the limit).
std::optional<QString> TypeInto(QLineEdit* box, const Typing& t) {
    const QString before = box->text();
    const int room = box->maxLength();
    switch (t.how) {
    case How::Keys:
        ClearBox(box);
        for (QChar c : t.text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
                QTest::keyClick(box, char(c.unicode()));
            } else {
                Commit(box, QString(c)); // as an input method commits it
            }
        }
        return t.text.left(room);
    case How::Commit:
        // An input method replaces the selection by what it commits; an
        // empty commit changes nothing, so an empty text is deleted.
        if (t.text.isEmpty()) {
            ClearBox(box);
        } else {
            box->setFocus();
            box->selectAll();
            Commit(box, t.text);
        }
        return t.text.left(room);
    case How::Append:
        box->setFocus();
        box->end(false);
        Commit(box, t.text);
        // An ill-formed replacement can leave more text than the box's limit,
        // and past it the toolkit no longer holds the limit.
        if (before.size() > room) {
            return std::nullopt;
        }
        return before + t.text.left(room - before.size());
    case How::Backspace:
        box->setFocus();
        box->end(false);
        for (int i = 0; i < t.length; ++i) {
            QTest::keyClick(box, Qt::Key_Backspace);
        }
        return std::nullopt;
    case How::Preedit:
        ClearBox(box);
        Compose(box, t.text);
        Commit(box, t.text);
        return t.text.left(room);
    case How::IllFormed:
        box->setFocus();
        switch (t.variant) {
        case 0:
            box->selectAll();
            Commit(box, t.text);
            break;
        case 1:
            box->end(false);
            Commit(box, t.text, t.from, t.length);
            break;
        case 2:
            ClearBox(box);
            Compose(box, t.text);
            Commit(box, t.other);
            break;
        default:
            box->selectAll();
            Commit(box, QString(QChar(0)) + t.text + QStringLiteral("\n\x1b\t"));
            break;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// The system-information tool, as the About window sees it: the walk's own
// registry, file test and launch, so that nothing real is ever started.

FakeRegistry walkRegistry;
FakeFileTest walkFiles;
FakeLauncher walkLauncher;

const QString kToolFolder =
    QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");

// One state of the registry, the tool's file and the launch.
struct SysInfoSetup {
    int first = 0;  // PATH: 0 none, 1 a path, 2 empty text, 3 another type, 4 no bytes
    int second = 0; // MSINFO: 0 none, 1 a folder with the tool, 2 a folder without it
    bool launches = true;

    QString Describe() const {
        static const char* firsts[] = {"no PATH", "PATH", "empty PATH", "PATH of another type",
                                       "PATH of 0 bytes"};
        static const char* seconds[] = {"no MSINFO", "MSINFO with the tool",
                                        "MSINFO without the tool"};
        return QStringLiteral("%1, %2, launch %3")
            .arg(QString::fromUtf8(firsts[first]), QString::fromUtf8(seconds[second]),
                 launches ? QStringLiteral("works") : QStringLiteral("fails"));
    }
    void Install() const {
        const std::u16string tool = (kToolFolder + "\\msinfo32.exe").toStdU16String();
        const std::u16string located = (kToolFolder + "\\MSINFO32.EXE").toStdU16String();
        walkRegistry = FakeRegistry();
        walkFiles = FakeFileTest();
        walkLauncher = FakeLauncher();
        if (launches) {
            walkLauncher.programs = {tool, located};
        }
        auto& path = walkRegistry.keys[kMsinfoKey].values;
        switch (first) {
        case 1:
            path[kMsinfoPathValue] = {kRegSz, Text(tool)};
            break;
        case 2:
            path[kMsinfoPathValue] = {kRegSz, Text(u"")};
            break;
        case 3:
            path[kMsinfoPathValue] = {kRegExpandSz, Text(u"%ProgramFiles%\\msinfo32.exe")};
            break;
        case 4:
            path[kMsinfoPathValue] = {kRegSz, {}};
            break;
        default:
            break;
        }
        if (second != 0) {
            walkRegistry.keys[kLocationKey].values[kLocationValue] = {
                kRegSz, Text(kToolFolder.toStdU16String())};
        }
        if (second == 1) {
            walkFiles.files.insert(located);
        }
    }
    // What is launched, and whether the message shows.
    std::pair<QStringList, bool> Expected() const {
        switch (first) {
        case 1:
            return {{kToolFolder + "\\msinfo32.exe"}, !launches};
        case 2:
        case 3:
            return {{QString()}, true}; // read as empty text: nothing to start
        case 4:
            return {{}, true};
        default:
            if (second == 1) {
                return {{kToolFolder + "\\MSINFO32.EXE"}, !launches};
            }
            return {{}, true};
        }
    }
};

// ---------------------------------------------------------------------------
// Crashes: the seed and the action in progress, written when the program
// dies, so that the walk can be replayed up to it.

char crashNote[512] = "";

void OnFatalSignal(int signal) {
    std::fputs(crashNote, stderr);
    std::fflush(stderr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The toolkit warns about every key a box does not take; the walk presses
// such keys on purpose.
QtMessageHandler previousHandler = nullptr;
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The headless platform, for its part, warns about every raise.
    if (type == QtWarningMsg && (text.startsWith(QLatin1String("Keyboard event not accepted")) ||
                                 text.startsWith(QLatin1String("This plugin does not support")))) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, text);
    }
}

// Clicks a command of the main window's menu bar.
void UseMenu(const QString& name) {
    QMenuBar* bar = Forms::Main()->menuBar();
    QAction* command = Forms::Main()->findChild<QAction*>(name);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(command).center());
}

// Lets the event loop run between two actions of the user: windows closed
// by the last action are destroyed.
void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool IsNumberText(const QString& text) {
    // As the pay is written: plain decimal digits, no grouping, no trailing
    // zeros, an exponent only for very large or very small amounts.
    static const QRegularExpression number(
        QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]*[1-9])?(E[+-][0-9]+)?$"));
    return number.match(text).hasMatch();
}

// ---------------------------------------------------------------------------
// The walk.

enum class Answer { ClickOk, Enter, Escape, CloseBox };

// A message box as the user saw it.
struct Shown {
    QString text;
    QString title;
    int buttons = 0;
    bool noIcon = false;
    bool scheduleOnScreen = false;
};

struct Action {
    QString description;
    Answer answer = Answer::ClickOk;
    std::function<void()> run;                       // what the user does
    std::function<void(const QList<Shown>&)> expect; // what the walk then expects
};

// What the user did, and so what the windows should show.
struct Model {
    std::array<QString, 4> main;
    bool masked = false; // the hour boxes masked and disabled by the program
    QString status, daily, weekly, monthly;
    std::int16_t detailMode = 0;
    std::int16_t weeklyHours = 0;
    bool scheduleLoaded = false;
    bool scheduleOnScreen = false;
    bool editedSinceLoad = false; // a day field changed since the schedule was last loaded
    std::array<QString, 14> fields;
    bool aboutLoaded = false;

    void Start() {
        *this = Model();
        status = MainWindow::InputPrompt();
        daily = weekly = monthly = kNotCalculated;
    }
    void LoadSchedule() {
        scheduleLoaded = true;
        editedSinceLoad = false;
        fields = {};
        detailMode = 0;
    }
};

class Walk {
public:
    Walk(quint64 seed, bool verbose) : seed_(seed), random_(seed), verbose_(verbose) {}

    // Starts the program afresh: shared state at its start values and the
    // main window on screen.
    void Start() {
        if (Forms::MainLoaded()) {
            Forms::UnloadAll();
            Settle();
        }
        Module1::Reset();
        model_.Start();
        Forms::Main()->show();
        Settle();
        log_.clear();
        Log(QStringLiteral("#%1 the program starts").arg(number_));
    }

    // Runs `actions` actions after Start(); returns the report of the first
    // failure, or an empty text.
    QString Run(qint64 actions) {
        total_ = actions;
        Start();
        for (number_ = 1; number_ <= actions; ++number_) {
            Action action = Choose();
            Log(QStringLiteral("#%1 %2").arg(number_).arg(action.description));
            std::snprintf(crashNote, sizeof crashNote,
                          "random walk: the program died in action %lld (seed %llu); replay with "
                          "SORANIKA_WALK_SEED=%llu SORANIKA_WALK_ACTIONS=%lld "
                          "SORANIKA_WALK_VERBOSE=1\n",
                          static_cast<long long>(number_), static_cast<unsigned long long>(seed_),
                          static_cast<unsigned long long>(seed_), static_cast<long long>(number_));
            const QList<Shown> seen = Answering(action.answer, action.run);
            Settle();
            action.expect(seen);
            if (failures_.isEmpty()) {
                failures_ = CheckState();
            }
            if (!failures_.isEmpty()) {
                return Report();
            }
        }
        number_ = actions;
        return {};
    }

    // Every rule the windows keep, and agreement with the model; the
    // problems found, none when all is well.
    QStringList CheckState() const {
        QStringList problems;
        const auto expect = [&problems](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        expect(QApplication::activeModalWidget() == nullptr, "a modal window is still open");
        int mains = 0;
        int schedules = 0;
        int abouts = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            mains += qobject_cast<MainWindow*>(w) != nullptr;
            schedules += qobject_cast<ScheduleWindow*>(w) != nullptr;
            abouts += qobject_cast<AboutWindow*>(w) != nullptr;
            if (qobject_cast<QMessageBox*>(w) && w->isVisible()) {
                problems << "a message box is still on screen: " +
                                Quoted(w->property("text").toString());
            } else if (w->isVisible() && !qobject_cast<MainWindow*>(w) &&
                       !qobject_cast<ScheduleWindow*>(w) && !qobject_cast<AboutWindow*>(w)) {
                problems << "an unknown window is on screen: " + w->objectName();
            }
        }
        expect(mains == 1, QStringLiteral("%1 main windows").arg(mains));
        expect(schedules <= 1, QStringLiteral("%1 weekly schedule windows").arg(schedules));
        expect(abouts <= 1, QStringLiteral("%1 About windows").arg(abouts));
        if (!Forms::MainLoaded()) {
            problems << "the main window is gone";
            return problems;
        }
        MainWindow* main = Forms::Main();
        expect(main->isVisible(), "the main window is not on screen");

        // Shared state.
        const int detailMode = Module1::DetailMode;
        expect(detailMode == 0 || detailMode == 1,
               QStringLiteral("DetailMode is %1").arg(detailMode));
        expect(detailMode != 1 || model_.editedSinceLoad,
               "DetailMode is 1 but no day field was edited since the schedule was last loaded");
        expect(
            detailMode == model_.detailMode,
            QStringLiteral("DetailMode is %1, expected %2").arg(detailMode).arg(model_.detailMode));
        expect(Module1::WeeklyHours == model_.weeklyHours,
               QStringLiteral("WeeklyHours is %1, expected %2")
                   .arg(Module1::WeeklyHours)
                   .arg(model_.weeklyHours));

        // The hour group shares one Enabled state; the program masks
        // exactly the boxes it disables, and writes nothing into a box the
        // user can type into.
        const bool groupEnabled = Child(main, kMainBoxes[3])->isEnabled();
        for (const QString& name : kMainBoxes.mid(1) + kHourGroupLabels) {
            expect(Child(main, name)->isEnabled() == groupEnabled,
                   "the hour group is partly disabled: " + name);
        }
        expect(Child(main, kMainBoxes[0])->isEnabled(), "時給 is disabled");
        expect(groupEnabled == !model_.masked,
               groupEnabled ? QStringLiteral("the hour boxes are enabled in detail mode")
                            : QStringLiteral("the hour boxes are disabled, but were never masked"));
        for (int i = 0; i < 4; ++i) {
            const QString text = Text(main, kMainBoxes[i]);
            const bool enabled = Child(main, kMainBoxes[i])->isEnabled();
            expect(enabled || text == kDetailModeMask || text == kInputMask,
                   kMainBoxes[i] + " is disabled but shows " + Quoted(text));
            expect(text == model_.main[i],
                   kMainBoxes[i] + " shows " + Quoted(text) +
                       (enabled ? ", but the user typed " : ", but the program wrote ") +
                       Quoted(model_.main[i]));
        }

        // Results and status line.
        const QString daily = Caption(main, "日");
        const QString weekly = Caption(main, "週給料");
        const QString monthly = Caption(main, "月給料");
        const QString status = Caption(main, "状態");
        expect(daily == kNotCalculated || daily == kDailyMask || IsNumberText(daily),
               "日 shows " + Quoted(daily));
        expect(weekly == kNotCalculated || IsNumberText(weekly), "週給料 shows " + Quoted(weekly));
        expect(monthly == kNotCalculated || IsNumberText(monthly),
               "月給料 shows " + Quoted(monthly));
        expect((daily == kNotCalculated) == (weekly == kNotCalculated) &&
                   (weekly == kNotCalculated) == (monthly == kNotCalculated),
               "only some results say 未計算");
        expect(daily != kDailyMask || !groupEnabled,
               "the day's pay is masked while the hour boxes are in use");
        expect(status == MainWindow::InputPrompt() || status == Q(texts::kResultStatus) ||
                   status == Q(texts::kCaution),
               "状態 shows " + Quoted(status));
        expect(daily == model_.daily && weekly == model_.weekly && monthly == model_.monthly,
               QStringLiteral("the results are %1 %2 %3, expected %4 %5 %6")
                   .arg(Quoted(daily), Quoted(weekly), Quoted(monthly), Quoted(model_.daily),
                        Quoted(model_.weekly), Quoted(model_.monthly)));
        expect(status == model_.status,
               "状態 shows " + Quoted(status) + ", expected " + Quoted(model_.status));

        // The weekly schedule window.
        ScheduleWindow* schedule = Forms::Schedule();
        expect((schedule != nullptr) == model_.scheduleLoaded,
               model_.scheduleLoaded ? QStringLiteral("the weekly schedule is not loaded")
                                     : QStringLiteral("the weekly schedule is loaded"));
        if (schedule != nullptr && model_.scheduleLoaded) {
            expect(schedule->isVisible() == model_.scheduleOnScreen,
                   model_.scheduleOnScreen ? QStringLiteral("the weekly schedule is hidden")
                                           : QStringLiteral("the weekly schedule is on screen"));
            expect(schedule->ScheduleChanged() == model_.editedSinceLoad,
                   QStringLiteral("ScheduleChanged is %1, expected %2")
                       .arg(schedule->ScheduleChanged())
                       .arg(model_.editedSinceLoad));
            for (int i = 0; i < 14; ++i) {
                const QString text = Text(schedule, kDayFields[i]);
                expect(text == model_.fields[std::size_t(i)],
                       kDayFields[i] + " shows " + Quoted(text) + ", but the user typed " +
                           Quoted(model_.fields[std::size_t(i)]));
            }
        }

        // The About window: loaded means on screen.
        AboutWindow* about = Forms::About();
        expect((about != nullptr) == model_.aboutLoaded,
               model_.aboutLoaded ? QStringLiteral("the About window is not loaded")
                                  : QStringLiteral("the About window is loaded"));
        expect(about == nullptr || about->isVisible(), "the About window is loaded but hidden");
        return problems;
    }

    // Whether AllActions() keeps every action line; a long walk keeps none.
    void KeepAll(bool keep) { keepAll_ = keep; }
    const QStringList& AllActions() const { return all_; }
    const QMap<QString, qint64>& Counts() const { return counts_; }
    qint64 Done() const { return number_; }

private:
    void Log(const QString& line) {
        log_.append(line);
        if (keepAll_) {
            all_.append(line);
        }
        if (verbose_) {
            std::printf("%s\n", line.toUtf8().constData());
            std::fflush(stdout);
        }
    }
    void Count(const QString& what) { ++counts_[what]; }
    void Expect(bool ok, const QString& what) {
        if (!ok) {
            failures_ << what;
        }
    }
    void ExpectMessages(const QList<Shown>& seen, const QStringList& expected) {
        QStringList texts;
        for (const Shown& m : seen) {
            texts << m.text;
            Expect(m.title == ApplicationTitle(), "a message box captioned " + Quoted(m.title));
            Expect(m.buttons == 1 && m.noIcon,
                   "a message box with " + QString::number(m.buttons) + " buttons or an icon");
        }
        if (texts != expected) {
            QStringList quotedSeen;
            QStringList quotedExpected;
            for (const QString& t : texts) {
                quotedSeen << Quoted(t);
            }
            for (const QString& t : expected) {
                quotedExpected << Quoted(t);
            }
            failures_ << "messages shown: [" + quotedSeen.join(", ") + "], expected: [" +
                             quotedExpected.join(", ") + "]";
        }
    }

    QString Report() const {
        QString report = QStringLiteral("random walk failed in action %1 of %2 (seed %3):\n")
                             .arg(number_)
                             .arg(total_)
                             .arg(seed_);
        for (const QString& failure : failures_) {
            report += "  " + failure + "\n";
        }
        report += QStringLiteral("actions since the program last started:\n");
        const qsizetype shown = std::min<qsizetype>(log_.size(), 2000);
        if (shown < log_.size()) {
            report += QStringLiteral("  (%1 earlier actions left out)\n").arg(log_.size() - shown);
        }
        for (qsizetype i = log_.size() - shown; i < log_.size(); ++i) {
            report += "  " + log_[i] + "\n";
        }
        report += QStringLiteral("replay: SORANIKA_WALK_SEED=%1 SORANIKA_WALK_ACTIONS=%2 "
                                 "SORANIKA_WALK_VERBOSE=1 tests/test_random_walk\n")
                      .arg(seed_)
                      .arg(number_);
        return report;
    }

    // Runs an action and answers every modal message box it shows, in the
    // chosen way.
    QList<Shown> Answering(Answer answer, const std::function<void()>& action) {
        QList<Shown> seen;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) {
                return;
            }
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                failures_ << "a modal window that is no message box: " + modal->objectName();
                modal->close();
                return;
            }
            Shown m;
            m.text = box->text();
            m.title = box->windowTitle();
            m.buttons = int(box->buttons().size());
            m.noIcon = box->icon() == QMessageBox::NoIcon;
            m.scheduleOnScreen = Forms::Schedule() != nullptr && Forms::Schedule()->isVisible();
            seen.append(m);
            if (seen.size() > 8) {
                failures_ << "message boxes without end: " + Quoted(m.text);
                box->done(0);
                return;
            }
            switch (answer) {
            case Answer::ClickOk:
                if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                    QTest::mouseClick(ok, Qt::LeftButton);
                } else {
                    box->close();
                }
                break;
            case Answer::Enter:
                QTest::keyClick(box, Qt::Key_Return);
                break;
            case Answer::Escape:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            case Answer::CloseBox:
                box->close();
                break;
            }
        });
        poll.start();
        action();
        poll.stop();
        return seen;
    }

    // ---- choosing the next action -----------------------------------------

    Action Choose() {
        using Maker = Action (Walk::*)();
        Weighted<Maker> choices;
        choices.Add(22, &Walk::TypeMain)
            .Add(4, &Walk::FillMain)
            .Add(3, &Walk::EnterInMainBox)
            .Add(12, &Walk::Calculate)
            .Add(3, &Walk::Clear)
            .Add(7, &Walk::OpenSchedule)
            .Add(2, &Walk::ShowAbout)
            .Add(1, &Walk::EndProgram);
        if (model_.scheduleOnScreen) {
            choices.Add(25, &Walk::TypeSchedule)
                .Add(8, &Walk::Confirm)
                .Add(2, &Walk::CloseSchedule)
                .Add(1, &Walk::EnterInDayField);
        }
        if (model_.aboutLoaded) {
            choices.Add(3, &Walk::CloseAbout).Add(2, &Walk::SysInfo);
        }
        Action action = (this->*choices.Pick(random_))();
        action.answer = Weighted<Answer>()
                            .Add(4, Answer::ClickOk)
                            .Add(2, Answer::Enter)
                            .Add(2, Answer::Escape)
                            .Add(1, Answer::CloseBox)
                            .Pick(random_);
        return action;
    }

    // Presses a button with the mouse or, focused, with the space bar.
    std::function<void()> Press(std::function<QWidget*()> window, const QString& name,
                                bool keyboard) {
        return [window, name, keyboard] {
            auto* button = Child<QAbstractButton>(window(), name);
            if (keyboard) {
                button->setFocus();
                QTest::keyClick(button, Qt::Key_Space);
            } else {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        };
    }
    static QWidget* MainWidget() { return Forms::Main(); }
    static QWidget* ScheduleWidget() { return Forms::Schedule(); }
    static QWidget* AboutWidget() { return Forms::About(); }
    static QString By(bool keyboard) {
        return keyboard ? QStringLiteral(" (space bar)") : QStringLiteral(" (mouse)");
    }

    // Types into a box and brings the model's text up to date.
    void ExpectTyped(QLineEdit* box, const std::optional<QString>& predicted, QString& text) {
        const QString now = box->text();
        if (predicted) {
            Expect(now == *predicted, box->objectName() + " holds " + Quoted(now) +
                                          " after typing, expected " + Quoted(*predicted));
        }
        text = now;
    }

    Action TypeMain() {
        QList<int> boxes{0};
        if (!model_.masked) {
            boxes << 1 << 2 << 3;
        }
        const int i = random_.Pick(boxes);
        const Typing typing = ChooseTyping(random_, KindOfMainBox(i));
        auto predicted = std::make_shared<std::optional<QString>>();
        return {"type into " + kMainBoxes[i] + ", " + Describe(typing),
                {},
                [i, typing, predicted] {
                    *predicted = TypeInto(Child<QLineEdit>(Forms::Main(), kMainBoxes[i]), typing);
                },
                [this, i, predicted](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    ExpectTyped(Child<QLineEdit>(Forms::Main(), kMainBoxes[i]), *predicted,
                                model_.main[std::size_t(i)]);
                }};
    }

    // Fills every box the user can reach with values of a working day.
    Action FillMain() {
        // A day that passes every check, one that earns the caution, or one
        // near the limits.
        const int scenario = int(random_.Below(3));
        const int start = scenario < 2 ? random_.Between(5, 14) : random_.Between(4, 15);
        const QString half = random_.Percent(20) ? QStringLiteral(".5") : QString();
        const int hours =
            scenario == 2 ? random_.Between(-1, 9) : random_.Between(scenario == 1 ? 7 : 1, 8);
        const int days = scenario == 0   ? random_.Between(1, std::min(6, 40 / (hours + 1)))
                         : scenario == 1 ? 6
                                         : random_.Between(0, 7);
        const std::array<QString, 4> values = {
            Plausible(random_, BoxKind::Wage), QString::number(start),
            QString::number(std::min(start + hours, scenario < 2 ? 21 : 24)) + half,
            QString::number(days)};
        const bool keys = random_.Percent(50);
        const int boxes = model_.masked ? 1 : 4;
        QStringList shown;
        for (int i = 0; i < boxes; ++i) {
            shown << kMainBoxes[i] + " " + Quoted(values[std::size_t(i)]);
        }
        return {"fill in " + shown.join(", ") + (keys ? " by keys" : " by input method"),
                {},
                [values, keys, boxes] {
                    for (int i = 0; i < boxes; ++i) {
                        Typing t;
                        t.how = keys ? How::Keys : How::Commit;
                        t.text = values[std::size_t(i)];
                        TypeInto(Child<QLineEdit>(Forms::Main(), kMainBoxes[i]), t);
                    }
                },
                [this, values, boxes](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    for (int i = 0; i < boxes; ++i) {
                        ExpectTyped(Child<QLineEdit>(Forms::Main(), kMainBoxes[i]),
                                    values[std::size_t(i)], model_.main[std::size_t(i)]);
                    }
                }};
    }

    Action EnterInMainBox() {
        QList<int> boxes{0};
        if (!model_.masked) {
            boxes << 1 << 2 << 3;
        }
        const int i = random_.Pick(boxes);
        return {"Enter in " + kMainBoxes[i],
                {},
                [i] {
                    auto* box = Child<QLineEdit>(Forms::Main(), kMainBoxes[i]);
                    box->setFocus();
                    QTest::keyClick(box, Qt::Key_Return);
                },
                [this](const QList<Shown>& seen) { ExpectCalculation(seen); }};
    }

    Action Calculate() {
        const bool keyboard = random_.Percent(25);
        return {"press 計算" + By(keyboard),
                {},
                Press(MainWidget, "計算", keyboard),
                [this](const QList<Shown>& seen) { ExpectCalculation(seen); }};
    }

    // What 計算 shows for the texts the user typed and the shared state.
    void ExpectCalculation(const QList<Shown>& seen) {
        WageOutcome outcome;
        try {
            outcome = EvaluateWage(U8(model_.main[0]), U8(model_.main[1]), U8(model_.main[2]),
                                   U8(model_.main[3]), model_.detailMode, model_.weeklyHours);
        } catch (const std::exception& error) {
            ExpectMessages(seen, {RuntimeErrorText(error)});
            Count(QStringLiteral("計算: runtime error ") + RuntimeErrorText(error).left(12));
            return;
        }
        switch (outcome.kind) {
        case WageOutcome::Kind::Message:
            ExpectMessages(seen, {Q(outcome.text)});
            Count(QStringLiteral("計算: message ") + Q(outcome.text).left(12));
            return;
        case WageOutcome::Kind::Caution:
            ExpectMessages(seen, {});
            model_.status = Q(outcome.text);
            Count(QStringLiteral("計算: caution"));
            return;
        case WageOutcome::Kind::Result:
            ExpectMessages(seen, {});
            if (outcome.maskInputs) {
                for (std::size_t i = 1; i < 4; ++i) {
                    model_.main[i] = kInputMask;
                }
            }
            model_.status = Q(outcome.text);
            model_.daily = Q(outcome.daily);
            model_.weekly = Q(outcome.weekly);
            model_.monthly = Q(outcome.monthly);
            Count(outcome.maskInputs ? QStringLiteral("計算: pay from the weekly schedule")
                                     : QStringLiteral("計算: pay"));
            return;
        }
    }

    Action Clear() {
        const bool keyboard = random_.Percent(25);
        return {"press クリアー" + By(keyboard),
                {},
                Press(MainWidget, "clear", keyboard),
                [this](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    model_.main = {};
                    model_.masked = false;
                    model_.daily = model_.weekly = model_.monthly = kNotCalculated;
                    model_.status = MainWindow::InputPrompt();
                    model_.LoadSchedule();
                    model_.scheduleOnScreen = false;
                    Count(QStringLiteral("クリアー"));
                }};
    }

    Action OpenSchedule() {
        const bool keyboard = random_.Percent(25);
        auto before = std::make_shared<QPointer<ScheduleWindow>>();
        return {"press 詳細設定start" + By(keyboard),
                {},
                [before, run = Press(MainWidget, "詳細設定start", keyboard)] {
                    *before = Forms::Schedule();
                    run();
                },
                [this, before](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    if (model_.scheduleLoaded) {
                        Expect(Forms::Schedule() == before->data(),
                               "a loaded weekly schedule was replaced by a new one");
                        Count(model_.scheduleOnScreen ? "詳細設定start: already on screen"
                                                      : "詳細設定start: shown again");
                    } else {
                        model_.LoadSchedule();
                        Count(QStringLiteral("詳細設定start: loaded"));
                    }
                    model_.scheduleOnScreen = true;
                }};
    }

    Action TypeSchedule() {
        const int i = int(random_.Below(14));
        const Typing typing =
            ChooseTyping(random_, i % 2 == 0 ? BoxKind::DayStart : BoxKind::DayEnd);
        auto predicted = std::make_shared<std::optional<QString>>();
        auto changes = std::make_shared<int>(0);
        return {"type into " + kDayFields[i] + ", " + Describe(typing),
                {},
                [i, typing, predicted, changes] {
                    auto* box = Child<QLineEdit>(Forms::Schedule(), kDayFields[i]);
                    const auto counting =
                        QObject::connect(box, &QLineEdit::textChanged, [changes] { ++*changes; });
                    *predicted = TypeInto(box, typing);
                    QObject::disconnect(counting);
                },
                [this, i, predicted, changes](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    ExpectTyped(Child<QLineEdit>(Forms::Schedule(), kDayFields[i]), *predicted,
                                model_.fields[std::size_t(i)]);
                    // Any change of the text counts as an edit, also one undone.
                    if (*changes > 0) {
                        model_.editedSinceLoad = true;
                    }
                }};
    }

    // 入力完了, pressed or by Enter in a day field: what the confirmation
    // shows and changes.
    void ExpectConfirmed(const QList<Shown>& seen) {
        DayFields fields;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i] = U8(model_.fields[i]);
        }
        std::int16_t total = 0;
        try {
            total = WeeklyTotal(fields);
        } catch (const std::exception& error) {
            // Nothing changes; the schedule stays to be corrected.
            ExpectMessages(seen, {RuntimeErrorText(error)});
            Count(QStringLiteral("入力完了: runtime error"));
            return;
        }
        if (model_.editedSinceLoad) {
            ExpectMessages(seen, {kSwitchMessage});
            Expect(seen.isEmpty() || seen[0].scheduleOnScreen,
                   "the weekly schedule left the screen before its message");
            model_.detailMode = 1;
            model_.masked = true;
            for (std::size_t i = 1; i < 4; ++i) {
                model_.main[i] = kDetailModeMask;
            }
            Count(QStringLiteral("入力完了: detail mode"));
        } else {
            ExpectMessages(seen, {});
            Count(QStringLiteral("入力完了: no edit"));
        }
        model_.weeklyHours = total;
        model_.scheduleOnScreen = false;
    }

    // Enter in a day field presses 入力完了, the window's default button.
    Action EnterInDayField() {
        const int i = int(random_.Below(14));
        const bool keypad = random_.Percent(25);
        return {"Enter in " + kDayFields[i] + (keypad ? QStringLiteral(" (keypad)") : QString()),
                {},
                [i, keypad] {
                    auto* box = Child<QLineEdit>(Forms::Schedule(), kDayFields[i]);
                    box->setFocus();
                    QTest::keyClick(box, keypad ? Qt::Key_Enter : Qt::Key_Return,
                                    keypad ? Qt::KeypadModifier : Qt::NoModifier);
                },
                [this](const QList<Shown>& seen) { ExpectConfirmed(seen); }};
    }

    Action Confirm() {
        const bool keyboard = random_.Percent(25);
        return {"press 入力完了" + By(keyboard),
                {},
                Press(ScheduleWidget, "input_end", keyboard),
                [this](const QList<Shown>& seen) { ExpectConfirmed(seen); }};
    }

    Action CloseSchedule() {
        return {"close the weekly schedule (close box)",
                {},
                [] { Forms::Schedule()->close(); },
                [this](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    // Unloaded: the texts are lost; DetailMode stays until
                    // the next load.
                    model_.scheduleLoaded = false;
                    model_.scheduleOnScreen = false;
                    model_.fields = {};
                    Count(QStringLiteral("weekly schedule closed"));
                }};
    }

    Action ShowAbout() {
        auto before = std::make_shared<QPointer<AboutWindow>>();
        return {"menu バージョン情報",
                {},
                [before] {
                    *before = Forms::About();
                    UseMenu(QStringLiteral("mnuVersion"));
                },
                [this, before](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    if (model_.aboutLoaded) {
                        Expect(Forms::About() == before->data(),
                               "an open About window was replaced by a new one");
                    }
                    model_.aboutLoaded = true;
                    Count(QStringLiteral("About shown"));
                }};
    }

    // Enter presses the focused button: it closes the window from OK.
    Action CloseAbout() {
        const int how = int(random_.Below(4));
        static const char* names[] = {"OK", "Enter on OK", "Esc", "close box"};
        return {QStringLiteral("close the About window (%1)").arg(QString::fromUtf8(names[how])),
                {},
                [how] {
                    AboutWindow* about = Forms::About();
                    switch (how) {
                    case 0:
                        QTest::mouseClick(Child<QAbstractButton>(about, "cmdOK"), Qt::LeftButton);
                        break;
                    case 1:
                        Child(about, "cmdOK")->setFocus();
                        QTest::keyClick(about, Qt::Key_Return);
                        break;
                    case 2:
                        QTest::keyClick(about, Qt::Key_Escape);
                        break;
                    default:
                        about->close();
                        break;
                    }
                },
                [this](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    model_.aboutLoaded = false;
                    Count(QStringLiteral("About closed"));
                }};
    }

    Action SysInfo() {
        SysInfoSetup setup;
        setup.first = int(random_.Below(5));
        setup.second = int(random_.Below(3));
        setup.launches = random_.Percent(70);
        const bool keyboard = random_.Percent(25);
        const bool enter = keyboard && random_.Percent(50);
        return {"press ｼｽﾃﾑ情報" + (enter ? QStringLiteral(" (Enter)") : By(keyboard)) + " with " +
                    setup.Describe(),
                {},
                [setup, enter, run = Press(AboutWidget, "cmdSysInfo", keyboard)] {
                    setup.Install();
                    if (enter) {
                        QWidget* button = Child(AboutWidget(), "cmdSysInfo");
                        button->setFocus();
                        QTest::keyClick(button, Qt::Key_Return);
                    } else {
                        run();
                    }
                },
                [this, setup](const QList<Shown>& seen) {
                    const auto [launched, message] = setup.Expected();
                    ExpectMessages(seen, message ? QStringList{kSysInfoMessage} : QStringList{});
                    const QStringList was = Strings(walkLauncher.launched);
                    Expect(was == launched, "launched [" + was.join(", ") + "], expected [" +
                                                launched.join(", ") + "]");
                    Count(message ? QStringLiteral("ｼｽﾃﾑ情報: message")
                                  : QStringLiteral("ｼｽﾃﾑ情報: started"));
                }};
    }

    // 終了 or the close box: the program ends, and the walk starts it again.
    Action EndProgram() {
        const bool menu = random_.Percent(60);
        return {menu ? QStringLiteral("menu 終了") : QStringLiteral("close the main window"),
                {},
                [menu] {
                    if (menu) {
                        UseMenu(QStringLiteral("mnuEnd"));
                    } else {
                        Forms::Main()->close();
                    }
                },
                [this](const QList<Shown>& seen) {
                    ExpectMessages(seen, {});
                    Settle();
                    Expect(!Forms::MainLoaded(), "the main window is still loaded after closing");
                    Expect(Forms::Schedule() == nullptr,
                           "the weekly schedule outlives the main window");
                    Expect(Forms::About() == nullptr, "the About window outlives the main window");
                    for (QWidget* w : QApplication::topLevelWidgets()) {
                        Expect(!w->isVisible(),
                               "a window stays on screen after the end: " + w->objectName());
                    }
                    Count(QStringLiteral("program ended"));
                    if (failures_.isEmpty()) {
                        Start();
                    }
                }};
    }

    quint64 seed_;
    Random random_;
    bool verbose_;
    bool keepAll_ = true;
    Model model_;
    qint64 number_ = 0;
    qint64 total_ = 0;
    QStringList log_; // since the program last started
    QStringList all_;
    QStringList failures_;
    QMap<QString, qint64> counts_;
};

} // namespace

class TestRandomWalk : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The walk's registry, file test and launch: it never starts a real
        // program.
        AboutWindow::UseSystem(&walkRegistry, &walkFiles, &walkLauncher);
        previousHandler = qInstallMessageHandler(FilterMessages);
    }
    void cleanupTestCase() {
        qInstallMessageHandler(previousHandler);
        AboutWindow::UseSystem(nullptr, nullptr, nullptr);
    }
    void cleanup() {
        Forms::UnloadAll();
        Settle();
        Module1::Reset();
    }

    // The walk itself, as long as the settings say.
    void walk() {
        std::printf("random walk: seed %llu, %lld actions\n",
                    static_cast<unsigned long long>(settings.seed),
                    static_cast<long long>(settings.actions));
        std::fflush(stdout);
        Walk walk(settings.seed, settings.verbose);
        walk.KeepAll(false);
        const auto previousSegv = std::signal(SIGSEGV, OnFatalSignal);
        const auto previousAbort = std::signal(SIGABRT, OnFatalSignal);
        QElapsedTimer clock;
        clock.start();
        const QString failure = walk.Run(settings.actions);
        const double seconds = double(clock.elapsed()) / 1000;
        std::signal(SIGSEGV, previousSegv);
        std::signal(SIGABRT, previousAbort);
        if (!failure.isEmpty()) {
            std::printf("%s", failure.toUtf8().constData());
            std::fflush(stdout);
            QFAIL(qPrintable(failure.section(u'\n', 0, 1)));
        }
        std::printf("random walk: %lld actions, seed %llu, %.1f s (%.0f actions/s), no failure\n",
                    static_cast<long long>(walk.Done()),
                    static_cast<unsigned long long>(settings.seed), seconds,
                    double(walk.Done()) / std::max(seconds, 0.001));
        for (auto it = walk.Counts().cbegin(); it != walk.Counts().cend(); ++it) {
            std::printf("  %8lld  %s\n", static_cast<long long>(it.value()),
                        it.key().toUtf8().constData());
        }
        std::fflush(stdout);
        // A walk of some length reaches every kind of outcome; if it does
        // not, the weights no longer lead anywhere.
        if (settings.actions >= 2000) {
            for (const char* reached :
                 {"計算: pay", "計算: caution", "計算: pay from the weekly schedule",
                  "入力完了: detail mode", "入力完了: runtime error", "program ended",
                  "weekly schedule closed", "ｼｽﾃﾑ情報: message"}) {
                QVERIFY2(walk.Counts().value(QString::fromUtf8(reached)) > 0, reached);
            }
        }
    }

    // The same seed gives the same actions, so that a count replays a walk.
    void sameSeedSameWalk() {
        Walk first(7, false);
        const QString firstFailure = first.Run(300);
        QVERIFY2(firstFailure.isEmpty(), qPrintable(firstFailure));
        cleanup();
        Walk again(7, false);
        const QString againFailure = again.Run(300);
        QVERIFY2(againFailure.isEmpty(), qPrintable(againFailure));
        cleanup();
        Walk other(8, false);
        const QString otherFailure = other.Run(300);
        QVERIFY2(otherFailure.isEmpty(), qPrintable(otherFailure));
        QCOMPARE(again.AllActions(), first.AllActions());
        QVERIFY(other.AllActions() != first.AllActions());
    }

    // The checks see states the windows must never reach.
    void checksSeeForbiddenStates_data() {
        QTest::addColumn<int>("breakage");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("DetailMode 1 without an edit") << 0 << "no day field was edited";
        QTest::newRow("DetailMode 2") << 1 << "DetailMode is 2";
        QTest::newRow("program text in an enabled box") << 2 << "週 shows \"***\", but the user";
        QTest::newRow("disabled box not masked") << 3 << "週 is disabled but shows \"\"";
        QTest::newRow("pay with grouping") << 4 << "週給料 shows \"12,000\"";
        QTest::newRow("two schedule windows") << 5 << "2 weekly schedule windows";
        QTest::newRow("message box left open") << 6 << "a message box is still on screen";
        QTest::newRow("main window hidden") << 7 << "the main window is not on screen";
        QTest::newRow("day's pay masked in normal mode") << 8 << "day's pay is masked";
    }
    void checksSeeForbiddenStates() {
        QFETCH(int, breakage);
        QFETCH(QString, complaint);
        Walk walk(1, false);
        walk.Start();
        QCOMPARE(walk.CheckState(), QStringList());
        MainWindow* main = Forms::Main();
        std::unique_ptr<QWidget> extra;
        switch (breakage) {
        case 0:
            Module1::DetailMode = 1;
            break;
        case 1:
            Module1::DetailMode = 2;
            break;
        case 2:
            Child<QLineEdit>(main, "週")->setText(kInputMask);
            break;
        case 3:
            Child(main, "週")->setEnabled(false);
            break;
        case 4:
            Child<QLabel>(main, "週給料")->setText("12,000");
            break;
        case 5:
            Forms::LoadSchedule();
            extra = std::make_unique<ScheduleWindow>();
            extra->show();
            break;
        case 6:
            extra =
                std::make_unique<QMessageBox>(QMessageBox::NoIcon, ApplicationTitle(), "left open");
            extra->show();
            break;
        case 7:
            main->hide();
            break;
        default:
            Child<QLabel>(main, "日")->setText(kDailyMask);
            break;
        }
        const QString problems = walk.CheckState().join(u'\n');
        QVERIFY2(problems.contains(complaint), qPrintable(problems));
    }
};

namespace {

bool ReadNumber(const char* variable, quint64& value) {
    const QString text = qEnvironmentVariable(variable);
    if (text.isEmpty()) {
        return true;
    }
    bool ok = false;
    const quint64 number = text.toULongLong(&ok);
    if (!ok) {
        std::fprintf(stderr, "test_random_walk: %s must be a whole number, not '%s'\n", variable,
                     text.toUtf8().constData());
        return false;
    }
    value = number;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    settings.verbose = !qEnvironmentVariable("SORANIKA_WALK_VERBOSE").isEmpty() &&
                       qEnvironmentVariable("SORANIKA_WALK_VERBOSE") != "0";
    quint64 actions = quint64(settings.actions);
    if (!ReadNumber("SORANIKA_WALK_SEED", settings.seed) ||
        !ReadNumber("SORANIKA_WALK_ACTIONS", actions)) {
        return 2;
    }
    settings.actions = qint64(actions);
    // Qt Test ends a test function after five minutes; a long walk takes
    // longer. Allow 20 ms an action, unless a limit is set already.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) {
        const qint64 limit =
            std::clamp<qint64>(settings.actions * 20, 300000, std::numeric_limits<int>::max());
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(limit));
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestRandomWalk test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_random_walk.moc"
