// Pages of the Eon kit: palette, fonts, symbols and the controls in their states.
#include "Gallery.h"
#include "ui/eon/EonAlert.h"
#include "ui/eon/EonFileDialog.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/Symbols.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

// A rounded swatch of a colour or a gradient.
class Swatch : public QWidget {
public:
    explicit Swatch(QBrush brush)
        : m_brush(std::move(brush))
    {
        setFixedSize(150, 56);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(eonHairline(), 1));
        painter.setBrush(m_brush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
            eon::tileCornerRadius, eon::tileCornerRadius);
    }

private:
    QBrush m_brush;
};

QLabel* text(const QString& content, const QFont& font, const QColor& color = eonTextPrimary())
{
    return eonPlainLabel(content, font, color);
}

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(widget, &enter);
}

void press(QAbstractButton* button)
{
    button->setDown(true);
    Q_EMIT button->pressed();
}

std::unique_ptr<QWidget> palettePage()
{
    auto stage = std::make_unique<Stage>(6);
    const std::pair<const char*, const QColor&> colours[] = {
        { "eonCanvas", eonCanvas() },
        { "eonSurface", eonSurface() },
        { "eonSurfaceRaised", eonSurfaceRaised() },
        { "eonSurfaceSunken", eonSurfaceSunken() },
        { "eonHairline", eonHairline() },
        { "eonTextPrimary", eonTextPrimary() },
        { "eonTextSecondary", eonTextSecondary() },
        { "eonTextTertiary", eonTextTertiary() },
        { "eonAccent", eonAccent() },
        { "eonAccentBright", eonAccentBright() },
        { "eonAccentWash", eonAccentWash() },
        { "eonAccentGlow", eonAccentGlow() },
        { "eonSignalCyan", eonSignalCyan() },
        { "eonSignalTeal", eonSignalTeal() },
        { "eonSignalViolet", eonSignalViolet() },
        { "eonSignalIce", eonSignalIce() },
    };
    for (const auto& [name, colour] : colours) {
        stage->add(QString::fromLatin1(name), new Swatch(colour));
    }
    const std::pair<const char*, const EonGradient&> gradients[] = {
        { "eonWindowGradient", eonWindowGradient() },
        { "eonPanelGradient", eonPanelGradient() },
        { "eonPlayerBarGradient", eonPlayerBarGradient() },
        { "eonAccentGradient", eonAccentGradient() },
        { "eonSelectionGradient", eonSelectionGradient() },
        { "eonSignalWash", eonSignalWash() },
        { "eonSignalStrong", eonSignalStrong() },
        { "eonSignalGradient", eonSignalGradient() },
    };
    for (const auto& [name, gradient] : gradients) {
        stage->add(QString::fromLatin1(name), new Swatch(gradient.toLinearGradient()));
    }
    return stage;
}

std::unique_ptr<QWidget> fontsPage()
{
    auto stage = std::make_unique<Stage>(1);
    const std::pair<const char*, QFont::Weight> weights[] = {
        { "Regular", QFont::Normal },
        { "Medium", QFont::Medium },
        { "Semibold", QFont::DemiBold },
        { "Bold", QFont::Bold },
    };
    for (const auto& [name, weight] : weights) {
        stage->add(u"Inter 15 "_s + QString::fromLatin1(name),
            text(u"KIVO VOVID — All Songs, Recently Added · Ünïcödé 0:59 1:00:00"_s,
                eonFont(eon::textHeadline, weight)));
    }
    stage->add(u"Inter 11 semibold, secondary"_s,
        text(u"Playback could not be restored: the file is damaged."_s,
            eonFont(eon::textFootnote, QFont::DemiBold), eonTextSecondary()));
    stage->add(u"DejaVu Sans Mono 10 medium (times)"_s,
        text(u"0:00  3:59  59:59  1:00:00  10:00:00"_s,
            eonMonoFont(eon::textCaption, QFont::Medium), eonTextTertiary()));
    return stage;
}

// Draws every symbol of the table with its name.
class SymbolSheet : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), eonCanvas());
        painter.setRenderHint(QPainter::TextAntialiasing);
        const int columns = 3;
        const QSizeF cell(width() / double(columns), 34);
        int index = 0;
        for (const SymbolGlyph& entry : Symbols::table()) {
            const QPointF origin(
                (index % columns) * cell.width(), (index / columns) * cell.height());
            Symbols::paint(painter, QRectF(origin + QPointF(10, 5), QSizeF(24, 24)),
                QString::fromUtf16(entry.name), eonAccent(), 22);
            painter.setFont(eonFont(eon::textFootnote));
            painter.setPen(eonTextPrimary());
            painter.drawText(
                QRectF(origin + QPointF(42, 0), QSizeF(cell.width() - 46, cell.height())),
                Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf16(entry.name));
            ++index;
        }
    }
};

std::unique_ptr<QWidget> iconButtonsPage()
{
    auto stage = std::make_unique<Stage>(5);
    const auto add = [&](const QString& caption, const QString& symbol, int size, bool active,
                         const std::function<void(EonIconButton*)>& state = {}) {
        auto* button = new EonIconButton(symbol, size, active);
        if (state) {
            state(button);
        }
        stage->add(caption, button);
    };
    add(u"inactive 30"_s, u"repeat"_s, 30, false);
    add(u"active 30"_s, u"repeat.1"_s, 30, true);
    add(u"hovered 30"_s, u"shuffle"_s, 30, false, hover);
    add(u"active, hovered 30"_s, u"shuffle"_s, 30, true, hover);
    add(u"pressed 30"_s, u"shuffle"_s, 30, false, [](EonIconButton* b) {
        hover(b);
        press(b);
    });
    add(u"previous 32"_s, u"backward.fill"_s, 32, false);
    add(u"next 32"_s, u"forward.fill"_s, 32, false);
    add(u"queue 34"_s, u"music.note.list"_s, 34, true);
    add(u"disabled 30"_s, u"heart"_s, 30, false, [](EonIconButton* b) { b->setEnabled(false); });
    add(u"active, disabled 30"_s, u"play.fill"_s, 30, true,
        [](EonIconButton* b) { b->setEnabled(false); });
    add(u"unknown symbol"_s, u"no.such.symbol"_s, 30, true);
    auto* plain = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary());
    plain->setFixedSize(18, 18);
    stage->add(u"press style, plain"_s, plain);
    auto* pressed = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary());
    pressed->setFixedSize(18, 18);
    press(pressed);
    stage->add(u"press style, pressed"_s, pressed);
    auto* disabled = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary());
    disabled->setFixedSize(18, 18);
    disabled->setEnabled(false);
    stage->add(u"press style, disabled"_s, disabled);
    return stage;
}

// A scroll area of `rows` lines of text, 160 pixels high.
QScrollArea* scrollSample(int rows)
{
    auto* area = new QScrollArea;
    area->setFixedSize(200, 160);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    for (int row = 1; row <= rows; ++row) {
        column->addWidget(text(u"Row %1"_s.arg(row), eonFont(eon::textCallout)));
    }
    area->setWidget(content);
    return area;
}

QLabel* menuPicture(QMenu* menu)
{
    menu->adjustSize();
    auto* picture = new QLabel;
    picture->setPixmap(menu->grab());
    return picture;
}

// The stock controls under the Eon style, each enabled and disabled.
std::unique_ptr<QWidget> controlsPage()
{
    auto stage = std::make_unique<Stage>(4);
    const auto checkbox = [](Qt::CheckState state, bool enabled) {
        auto* box = new QCheckBox(u"Genre"_s);
        box->setTristate(state == Qt::PartiallyChecked);
        box->setCheckState(state);
        box->setEnabled(enabled);
        return box;
    };
    stage->add(u"checkbox, off"_s, checkbox(Qt::Unchecked, true));
    stage->add(u"checkbox, on"_s, checkbox(Qt::Checked, true));
    stage->add(u"checkbox, on, disabled"_s, checkbox(Qt::Checked, false));
    stage->add(u"checkbox, off, disabled"_s, checkbox(Qt::Unchecked, false));
    const auto slider = [](bool enabled) {
        auto* control = new QSlider(Qt::Horizontal);
        control->setRange(0, 100);
        control->setValue(60);
        control->setFixedWidth(180);
        control->setEnabled(enabled);
        return control;
    };
    stage->add(u"slider"_s, slider(true));
    stage->add(u"slider, disabled"_s, slider(false));
    const auto picker = [](bool enabled) {
        auto* control = new QComboBox;
        control->addItems({ u"ALL"_s, u"ANY"_s });
        control->setFont(eonFont(eon::textBody, QFont::Medium));
        control->setEnabled(enabled);
        return control;
    };
    stage->add(u"picker"_s, picker(true));
    stage->add(u"picker, disabled"_s, picker(false));
    // The open list, grabbed like the menus (popups cannot be pages).
    QComboBox* open = picker(true);
    open->setParent(stage.get());
    open->hide();
    open->resize(open->sizeHint());
    open->showPopup();
    auto* list = new QLabel;
    list->setPixmap(open->view()->window()->grab());
    open->hidePopup();
    stage->add(u"picker, open"_s, list);
    const auto button = [](const QString& title, bool isDefault, bool destructive, bool enabled) {
        auto* push = new QPushButton(title);
        push->setFont(eonFont(eon::textBody, QFont::Medium));
        push->setDefault(isDefault);
        push->setProperty(EonStyle::destructiveProperty, destructive);
        push->setEnabled(enabled);
        return push;
    };
    stage->add(u"button"_s, button(u"Cancel"_s, false, false, true));
    stage->add(u"button, default"_s, button(u"OK"_s, true, false, true));
    stage->add(u"button, destructive"_s, button(u"Delete Permanently"_s, false, true, true));
    stage->add(u"button, destructive default"_s, button(u"Delete"_s, true, true, true));
    stage->add(u"button, disabled"_s, button(u"Save"_s, true, false, false));
    auto* field = new QLineEdit(u"Aurora Lane"_s);
    stage->add(u"text field"_s, field);
    auto* disabledField = new QLineEdit(u"Aurora Lane"_s);
    disabledField->setEnabled(false);
    stage->add(u"text field, disabled"_s, disabledField);
    stage->add(u"scroll bar, content taller"_s, scrollSample(20));
    stage->add(u"no scroll bar, content fits"_s, scrollSample(3));
    auto* menu = new QMenu(stage.get());
    menu->addAction(u"Play Now"_s);
    menu->addAction(u"Disabled Item"_s)->setEnabled(false);
    QAction* checked = menu->addAction(u"Checked Item"_s);
    checked->setCheckable(true);
    checked->setChecked(true);
    menu->addSeparator();
    menu->addAction(u"Remove Column"_s)->setProperty(EonStyle::destructiveProperty, true);
    stage->add(u"menu: disabled, checked, destructive"_s, menuPicture(menu));
    return stage;
}

// A menu with icons, its destructive item in red icon and all, and a tooltip
// beside it, as hovering shows one (tooltips are windows of their own).
std::unique_ptr<QWidget> menuTooltipPage()
{
    auto stage = std::make_unique<Stage>(2);
    auto* menu = new QMenu(stage.get());
    const auto icon = [](const QString& symbol) {
        return QIcon(Symbols::pixmap(symbol, eonTextSecondary(), 16, 18));
    };
    menu->addAction(icon(u"play.fill"_s), u"Play Now"_s);
    menu->addAction(icon(u"arrow.left.and.right"_s), u"Reset Width"_s);
    menu->addSeparator();
    menu->addAction(icon(u"trash"_s), u"Delete Permanently\u2026"_s)
        ->setProperty(EonStyle::destructiveProperty, true);
    stage->add(u"menu, destructive item with its icon"_s, menuPicture(menu));
    auto* tip = new QLabel;
    QToolTip::showText(QPoint(200, 200), u"Import songs"_s);
    QCoreApplication::processEvents();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->inherits("QTipLabel") && window->isVisible()) {
            tip->setPixmap(window->grab());
        }
    }
    QToolTip::hideText();
    stage->add(u"tooltip"_s, tip);
    return stage;
}

std::unique_ptr<QWidget> alertPage()
{
    auto stage = std::make_unique<Stage>(2);
    auto* notice = new EonAlert(u"The folder could not be added"_s,
        u"\"<b>noise.mp3\" could not be read: the file is damaged."_s);
    notice->setWindowFlags(Qt::Widget);
    stage->add(u"alert with OK"_s, notice);
    auto* confirm = new EonAlert(u"Delete Track Permanently?"_s,
        u"\u201CGlass Horizon\u201D will be removed from KIVO VOVID and its original file will be "
        u"deleted from disk. This cannot be undone."_s);
    confirm->setWindowFlags(Qt::Widget);
    confirm->setDefaultButton(confirm->addButton(u"Cancel"_s, EonAlert::Role::cancel));
    confirm->addButton(u"Delete Permanently"_s, EonAlert::Role::destructive);
    stage->add(u"confirmation: Cancel default, destructive action"_s, confirm);
    return stage;
}

// The import chooser over a folder of sample files, as a page rather than a
// window.
class FileChooserSample : public QWidget {
public:
    FileChooserSample()
    {
        QDir(m_folder.path()).mkdir(u"Live Sets"_s);
        for (const char* name : { "Aurora Lane - Glass Horizon.flac", "Copper Rain.mp3",
                 "Harbour Lights.m4a", "notes.txt" }) {
            [[maybe_unused]] const bool made
                = QFile(m_folder.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
        }
        QFileDialog* dialog = makeEonFileDialog(nullptr, u"Import Songs"_s, u"gallery"_s);
        dialog->setParent(this, Qt::Widget);
        dialog->setFileMode(QFileDialog::ExistingFiles);
        dialog->setLabelText(QFileDialog::Accept, u"Import"_s);
        dialog->setNameFilter(u"Audio Files (*.flac *.m4a *.mp3)"_s);
        dialog->setDirectory(m_folder.path());
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(dialog);
    }

private:
    QTemporaryDir m_folder;
};

} // namespace

// The ring of a control that Tab reached, beside the same controls without it.
std::unique_ptr<QWidget> focusRingPage()
{
    auto stage = std::make_unique<Stage>(3);
    auto* focused = new EonIconButton(u"play.fill"_s, 40);
    stage->add(u"Icon button, reached by Tab"_s, focused);
    stage->add(u"Icon button, no focus"_s, new EonIconButton(u"play.fill"_s, 40));
    stage->add(u"Push button, no focus"_s, new QPushButton(u"Cancel"_s));
    // The focus comes once the page shows in its window.
    QTimer::singleShot(80, focused, [focused] {
        QApplication::setActiveWindow(focused->window());
        // The window's activation may have focused it already, not by Tab.
        focused->clearFocus();
        focused->setFocus(Qt::TabFocusReason);
    });
    return stage;
}

void addEonPages(QList<Page>& pages)
{
    pages.append({ u"eon-palette"_s, { 1120, 560 }, palettePage });
    pages.append({ u"eon-fonts"_s, { 900, 420 }, fontsPage });
    pages.append({ u"eon-symbols"_s, { 1000, 34 * 26 + 8 },
        [] { return std::make_unique<SymbolSheet>(); } });
    pages.append({ u"eon-icon-buttons"_s, { 760, 400 }, iconButtonsPage });
    pages.append({ u"eon-controls"_s, { 1000, 620 }, controlsPage });
    pages.append({ u"eon-focus-ring"_s, { 640, 160 }, focusRingPage });
    pages.append({ u"eon-alerts"_s, { 1000, 300 }, alertPage });
    pages.append({ u"eon-menu-tooltip"_s, { 520, 240 }, menuTooltipPage });
    pages.append({ u"eon-file-chooser"_s, { 720, 440 },
        [] { return std::make_unique<FileChooserSample>(); } });
}

} // namespace kivo::gallery
