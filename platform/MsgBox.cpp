#include "MsgBox.h"

#include "DialogStacking.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace platform {

namespace {

struct Script {
    std::mutex mutex;
    bool loaded = false;
    bool active = false;
    std::deque<std::string> answers;

    void Load()
    {
        if (loaded)
            return;
        loaded = true;
        const char *env = std::getenv("BRTV_ANSWERS");
        if (!env)
            return;
        active = true;
        std::string s = env, item;
        for (char c : s) {
            if (c == ',') {
                answers.push_back(item);
                item.clear();
            } else {
                item += c;
            }
        }
        if (!item.empty())
            answers.push_back(item);
    }
};

Script &S()
{
    static Script s;
    return s;
}

std::string Trim(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

bool Same(const std::string &a, const char *b)
{
    return QString::fromStdString(a).compare(QString::fromLatin1(b), Qt::CaseInsensitive) == 0;
}

const char *AnswerName(Answer a)
{
    switch (a) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    }
    return "OK";
}

void LogBox(const std::string &caption, const std::string &text, const char *answer)
{
    const char *path = std::getenv("BRTV_BOX_LOG");
    if (!path || !*path)
        return;
    if (std::FILE *f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s|%s|%s\n", caption.c_str(), text.c_str(), answer);
        std::fclose(f);
    }
}

bool Allowed(Answer a, Buttons b)
{
    switch (b) {
    case Buttons::Ok: return a == Answer::Ok;
    case Buttons::OkCancel: return a == Answer::Ok || a == Answer::Cancel;
    case Buttons::YesNo: return a == Answer::Yes || a == Answer::No;
    case Buttons::YesNoCancel: return a != Answer::Ok;
    }
    return false;
}

Answer DefaultAnswer(Buttons b)
{
    switch (b) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    default: return Answer::No;
    }
}

} // namespace

bool ScriptedMode()
{
    Script &s = S();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Load();
    return s.active;
}

std::optional<std::string> NextScriptedAnswer()
{
    Script &s = S();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Load();
    if (!s.active || s.answers.empty())
        return std::nullopt;
    std::string a = Trim(s.answers.front());
    s.answers.pop_front();
    return a;
}

void QueueAnswers(const std::vector<std::string> &answers)
{
    Script &s = S();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Load();
    s.active = true;
    for (const auto &a : answers)
        s.answers.push_back(a);
}

void ResetAnswers()
{
    Script &s = S();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.loaded = false;
    s.active = false;
    s.answers.clear();
}

QString FromBytes(const std::string &bytes)
{
    // Windows-1252 for 0x80..0x9F where it defines the byte, Latin-1 elsewhere.
    static const char16_t cp1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    out.reserve(static_cast<int>(bytes.size()));
    for (unsigned char c : bytes)
        out.append(c >= 0x80 && c < 0xA0 ? QChar(cp1252[c - 0x80]) : QChar(c));
    return out;
}

std::string ToBytes(const QString &text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x100) {
            out += static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0x80; i < 0xA0; ++i)
            if (FromBytes(std::string(1, static_cast<char>(i))).at(0).unicode() == u)
                mapped = static_cast<char>(i);
        out += mapped;
    }
    return out;
}

QString DisplayText(const std::string &bytes)
{
    QString t = FromBytes(bytes);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

Answer MessageBox(const std::string &caption, const std::string &text, Buttons buttons)
{
    if (ScriptedMode()) {
        Answer answer = DefaultAnswer(buttons);
        // An OK-only box has one possible answer: it takes the next answer only when that
        // is "OK", so that scripts need not know of every notice shown on the way.
        if (buttons == Buttons::Ok) {
            Script &s = S();
            std::lock_guard<std::mutex> lock(s.mutex);
            if (!s.answers.empty() && Same(Trim(s.answers.front()), "OK"))
                s.answers.pop_front();
        } else if (auto next = NextScriptedAnswer()) {
            if (Same(*next, "Yes")) answer = Answer::Yes;
            else if (Same(*next, "No")) answer = Answer::No;
            else if (Same(*next, "OK")) answer = Answer::Ok;
            else if (Same(*next, "Cancel")) answer = Answer::Cancel;
            if (!Allowed(answer, buttons))
                answer = DefaultAnswer(buttons);
        }
        LogBox(caption, text, AnswerName(answer));
        return answer;
    }
    QMessageBox::StandardButtons qb;
    switch (buttons) {
    case Buttons::Ok: qb = QMessageBox::Ok; break;
    case Buttons::OkCancel: qb = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: qb = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: qb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question,
                    FromBytes(caption), DisplayText(text), qb, DialogParent());
    // Wide enough for a window manager to show the whole caption beside its buttons.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        QFont bold = box.font();
        bold.setBold(true);
        const int wanted = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 120;
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    int r;
    {
        DialogStacking stacking(box);
        r = box.exec();
    }
    Answer answer = r == QMessageBox::Yes ? Answer::Yes
                  : r == QMessageBox::No ? Answer::No
                  : r == QMessageBox::Cancel ? Answer::Cancel
                                             : (buttons == Buttons::Ok ? Answer::Ok : DefaultAnswer(buttons));
    if (r == QMessageBox::Ok)
        answer = Answer::Ok;
    LogBox(caption, text, AnswerName(answer));
    return answer;
}

namespace {
struct DialogAction {
    std::string objectName;
    std::function<void(QDialog &)> action;
};
std::deque<DialogAction> &DialogActions()
{
    static std::deque<DialogAction> actions;
    return actions;
}
std::function<void(const std::string &)> &DocumentOpener()
{
    static std::function<void(const std::string &)> opener;
    return opener;
}
} // namespace

void ActOnNextDialog(const std::string &objectName, std::function<void(QDialog &)> action)
{
    DialogActions().push_back({objectName, std::move(action)});
}

void DisarmDialogActions(const std::string &objectName)
{
    auto &actions = DialogActions();
    std::erase_if(actions, [&](const DialogAction &a) { return a.objectName == objectName; });
}

void OpenDocument(const std::string &path)
{
    if (DocumentOpener()) {
        DocumentOpener()(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void SetDocumentOpener(std::function<void(const std::string &path)> opener)
{
    DocumentOpener() = std::move(opener);
}

int RunModalDialog(QDialog &dialog)
{
    auto &actions = DialogActions();
    for (auto it = actions.begin(); it != actions.end(); ++it) {
        if (it->objectName != dialog.objectName().toStdString())
            continue;
        auto action = std::move(it->action);
        actions.erase(it);
        QPointer<QDialog> guard(&dialog);
        QTimer::singleShot(0, &dialog, [guard, action] {
            if (guard)
                action(*guard);
        });
        DialogStacking stacking(dialog);
        return dialog.exec();
    }
    if (ScriptedMode()) {
        int result = 0;
        if (auto next = NextScriptedAnswer()) {
            if (Same(*next, "OK") || Same(*next, "Yes")) result = 1;
            else if (Same(*next, "Cancel") || Same(*next, "No")) result = 0;
            else result = std::atoi(next->c_str());
        }
        LogBox(ToBytes(dialog.windowTitle()), "(dialog)", std::to_string(result).c_str());
        return result;
    }
    DialogStacking stacking(dialog);
    return dialog.exec();
}

QStringList FileDialogFilters(const std::string &filter)
{
    const QStringList parts = FromBytes(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        QString text = parts[i].endsWith(pattern) ? parts[i] : parts[i] + QLatin1Char(' ') + pattern;
        // The dialog separates the patterns in parentheses with blanks.
        const qsizetype open = text.lastIndexOf(QLatin1Char('('));
        out << text.left(open) + text.mid(open).replace(QLatin1Char(';'), QLatin1Char(' '));
    }
    return out;
}

namespace {
QString QtFilter(const std::string &filter)
{
    return FileDialogFilters(filter).join(QLatin1String(";;"));
}

std::optional<std::string> ScriptedPath(const std::string &title)
{
    auto next = NextScriptedAnswer();
    std::string shown = next ? *next : "Cancel";
    LogBox(title, "(file dialog)", shown.c_str());
    if (!next || Same(*next, "Cancel") || next->empty())
        return std::nullopt;
    return next;
}
} // namespace

std::optional<std::string> RunFileDialog(QFileDialog &dialog)
{
    if (ScriptedMode())
        return ScriptedPath(ToBytes(dialog.windowTitle()));
    DialogStacking stacking(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> OpenFileDialog(const std::string &title, const std::string &filter,
                                          const std::string &folder, int *filterIndex)
{
    const QStringList filters = FileDialogFilters(filter);
    if (ScriptedMode()) {
        auto path = ScriptedPath(title);
        if (path && filterIndex) {
            // The first filter whose pattern matches the answer, as the dialog would pick.
            *filterIndex = 1;
            const QString name = QFileInfo(FromBytes(*path)).fileName();
            const QStringList parts = FromBytes(filter).split(QLatin1Char('|'));
            for (int i = 1; i < parts.size(); i += 2)
                if (QDir::match(parts[i], name)) {
                    *filterIndex = i / 2 + 1;
                    break;
                }
        }
        return path;
    }
    QFileDialog dialog(DialogParent(), FromBytes(title), FromBytes(folder), filters.join(QLatin1String(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    {
        DialogStacking stacking(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
    }
    if (filterIndex)
        *filterIndex = std::max<int>(1, filters.indexOf(dialog.selectedNameFilter()) + 1);
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> SaveFileDialog(const std::string &title, const std::string &filter,
                                          const std::string &fileName)
{
    if (ScriptedMode())
        return ScriptedPath(title);
    QFileDialog dialog(DialogParent(), FromBytes(title), FromBytes(fileName), QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    DialogStacking stacking(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<unsigned> ChooseColor(unsigned initial)
{
    if (ScriptedMode()) {
        auto next = NextScriptedAnswer();
        const std::string shown = next ? *next : "Cancel";
        LogBox("Color", "(colour dialog)", shown.c_str());
        if (!next)
            return std::nullopt;
        bool ok = false;
        const unsigned v = QString::fromStdString(Trim(*next)).toUInt(&ok, 0);
        if (!ok)
            return std::nullopt;
        return v & 0xFFFFFFu;
    }
    const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
    QColorDialog dialog(start, DialogParent());
    {
        DialogStacking stacking(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
    }
    const QColor c = dialog.selectedColor();
    if (!c.isValid())
        return std::nullopt;
    return unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16);
}

std::optional<QFont> ChooseFont(const QFont &initial)
{
    if (ScriptedMode()) {
        auto next = NextScriptedAnswer();
        const std::string shown = next ? *next : "Cancel";
        LogBox("Font", "(font dialog)", shown.c_str());
        if (!next || Same(Trim(*next), "Cancel"))
            return std::nullopt;
        const QStringList parts = QString::fromStdString(*next).split(QLatin1Char(','));
        bool ok = false;
        const int points = parts.size() > 1 ? parts[1].trimmed().toInt(&ok) : 0;
        if (parts[0].trimmed().isEmpty() || !ok || points <= 0)
            return std::nullopt;
        QFont f(parts[0].trimmed());
        f.setPointSize(points);
        for (int i = 2; i < parts.size(); ++i) {
            if (parts[i].trimmed().compare(QLatin1String("bold"), Qt::CaseInsensitive) == 0)
                f.setBold(true);
            if (parts[i].trimmed().compare(QLatin1String("italic"), Qt::CaseInsensitive) == 0)
                f.setItalic(true);
        }
        return f;
    }
    QFontDialog dialog(initial, DialogParent());
    DialogStacking stacking(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

} // namespace platform
