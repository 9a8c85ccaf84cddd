#include "app/qt/command_binder.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>
#include <stdexcept>

#include "platform/interface_text.h"

namespace tarvex {

namespace {

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }

// Simple pictures of our own for the edit buttons.
QIcon DrawnIcon(const std::string& Kind) {
    QPixmap px(24, 24);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    if (Kind == "edit-cut") {
        p.drawEllipse(QRectF(3, 14, 6, 6));
        p.drawEllipse(QRectF(15, 14, 6, 6));
        p.drawLine(QPointF(8, 15), QPointF(17, 3));
        p.drawLine(QPointF(16, 15), QPointF(7, 3));
    } else if (Kind == "edit-copy") {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 3, 11, 14));
        p.drawRect(QRectF(9, 7, 11, 14));
    } else if (Kind == "edit-paste") {
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRectF(4, 4, 14, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 9, 11, 12));
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(QRectF(8, 2, 6, 4));
    } else if (Kind == "pilcrow" || Kind == "select-word" || Kind == "scroll-down") {
        // A letter for the text buttons: the paragraph mark, a word, an arrow.
        QFont f = p.font();
        f.setPixelSize(Kind == "select-word" ? 13 : 18);
        f.setBold(true);
        p.setFont(f);
        const QString glyph = Kind == "pilcrow" ? QString(QChar(0xB6)) : Kind == "select-word" ? "ab" : QString(QChar(0x2193));
        if (Kind == "select-word") p.fillRect(QRectF(2, 6, 20, 12), QColor(170, 200, 240));
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, glyph);
    } else {
        // The rest are labelled: a short text says what the button does.
        static const struct {
            const char* Kind;
            const char* Label;
        } labels[] = {{"tools-check-spelling", "abc"}, {"accessories-dictionary", "Aa"},
                      {"document-print-preview", "\u25A4"}, {"edit-find-replace", "\u2315"},
                      {"format-justify-fill", "\u2261"}, {"bookmark-new", "\u2691"},
                      {"media-playback-start", "\u25BC"}, {"show-nonprinting", "\u00B6"}};
        for (const auto& l : labels)
            if (Kind == l.Kind) {
                QFont f = p.font();
                f.setPixelSize(13);
                f.setBold(true);
                p.setFont(f);
                p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QString::fromUtf8(l.Label));
            }
    }
    return QIcon(px);
}

// Our own pictures where the desktop theme has none.
QIcon ButtonIcon(const QMainWindow& W, const char* Theme) {
    QIcon icon = QIcon::fromTheme(Theme);
    if (!icon.isNull()) return icon;
    const std::string t = Theme;
    if (t == "document-open") return W.style()->standardIcon(QStyle::SP_DialogOpenButton);
    if (t == "document-save") return W.style()->standardIcon(QStyle::SP_DialogSaveButton);
    if (t == "edit-undo") return W.style()->standardIcon(QStyle::SP_ArrowBack);
    if (t == "edit-redo") return W.style()->standardIcon(QStyle::SP_ArrowForward);
    if (t == "go-top") return W.style()->standardIcon(QStyle::SP_TitleBarShadeButton);
    if (t == "window-close") return W.style()->standardIcon(QStyle::SP_DialogCloseButton);
    return DrawnIcon(t);
}

}  // namespace

QString NoAmpersands(QString T) {
    T.replace("&&", QString(QChar(1)));
    T.remove('&');
    T.replace(QChar(1), '&');
    return T;
}

void TCommandBinder::On(const char* Name, THandler H) { FHandlers[Name] = std::move(H); }

void TCommandBinder::Build(QToolBar& ToolBar) {
    std::map<int, QActionGroup*> groups;
    for (const TCommandDef& r : CommandRows()) {
        QMenu* parent = r.Menu ? Menu(r.Menu) : nullptr;
        if (r.Menu && !parent) throw std::logic_error(std::string("menu ") + r.Menu + " is not defined before use");
        if (r.Kind == ikSeparator) {
            parent->addSeparator();
            continue;
        }
        if (r.Kind == ikMenu) {
            auto* m = new QMenu(&FWindow);
            m->setObjectName(r.Name);
            if (parent)
                parent->addMenu(m);
            else
                FWindow.menuBar()->addMenu(m);
            FMenus[r.Name] = m;
            continue;
        }
        const auto h = FHandlers.find(std::string_view(r.Name));
        if (h == FHandlers.end()) throw std::logic_error(std::string("command ") + r.Name + " has no handler");
        auto* a = new QAction(&FWindow);
        a->setObjectName(r.Name);
        if (r.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(r.Shortcut)));
        a->setCheckable(r.Flags & cfCheckable || r.Group > 0);
        if (r.Group > 0) {
            QActionGroup*& g = groups[r.Group];
            if (!g) g = new QActionGroup(&FWindow);
            g->addAction(a);
        }
        QObject::connect(a, &QAction::triggered, &FWindow, [f = h->second] { f(); });
        if (r.Flags & cfHidden)
            FWindow.addAction(a);  // only its shortcut reaches it
        else if (parent)
            parent->addAction(a);
        else
            FWindow.menuBar()->addAction(a);
        FActions[r.Name] = a;
    }
    for (const TButtonDef& b : ToolbarButtons()) {
        if (!b.Command) {
            ToolBar.addSeparator();
            continue;
        }
        QAction* command = Action(b.Command);
        if (!command) throw std::logic_error(std::string("button ") + b.Name + " names no command");
        // A button of its own (a hint differs from the menu item's caption), in step with the command.
        auto* a = new QAction(&FWindow);
        a->setObjectName(b.Name);
        a->setIcon(ButtonIcon(FWindow, b.Icon));
        a->setCheckable(command->isCheckable());
        const THandler& handler = FHandlers.find(std::string_view(b.Command))->second;
        QObject::connect(a, &QAction::triggered, command, [command, a, handler] {
            if (command->isCheckable()) command->setChecked(a->isChecked());
            handler();
        });
        const auto follow = [command, a] {
            a->setEnabled(command->isEnabled());
            a->setChecked(command->isChecked());
        };
        QObject::connect(command, &QAction::changed, a, follow);
        QObject::connect(command, &QAction::toggled, a, follow);
        ToolBar.addAction(a);
        FButtons[b.Name] = a;
    }
}

void TCommandBinder::Relabel(bool Russian) {
    for (const TCommandDef& r : CommandRows()) {
        if (r.Kind == ikSeparator) continue;
        const QString t = Q(Bilingual(r.Caption, Russian));
        if (r.Kind == ikMenu)
            Menu(r.Name)->setTitle(t);
        else
            Action(r.Name)->setText(t);
    }
    for (const TButtonDef& b : ToolbarButtons()) {
        if (!b.Command) continue;
        const QString hint = b.Hint ? Q(Bilingual(b.Hint, Russian)) : NoAmpersands(Action(b.Command)->text());
        QAction* a = Button(b.Name);
        a->setText(hint);
        a->setToolTip(hint);
    }
}

void TCommandBinder::ApplyEnableRules(const std::optional<TCommandState>& S) {
    for (const TCommandDef& r : CommandRows()) {
        if (r.Kind == ikSeparator) continue;
        const bool on = S && CommandEnabled(r.Enable, *S);
        if (r.Kind == ikMenu)
            Menu(r.Name)->menuAction()->setEnabled(on);
        else
            Action(r.Name)->setEnabled(on);
    }
}

QAction* TCommandBinder::Action(std::string_view Name) const {
    const auto i = FActions.find(Name);
    return i == FActions.end() ? nullptr : i->second;
}

QMenu* TCommandBinder::Menu(std::string_view Name) const {
    const auto i = FMenus.find(Name);
    return i == FMenus.end() ? nullptr : i->second;
}

QAction* TCommandBinder::Button(std::string_view Name) const {
    const auto i = FButtons.find(Name);
    return i == FButtons.end() ? nullptr : i->second;
}

}  // namespace tarvex
