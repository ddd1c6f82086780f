#pragma once

#include "app/SettingsPresenter.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QList>
#include <QWidget>
#include <functional>

class QButtonGroup;
class QLabel;
class QSlider;
class QVBoxLayout;

// Small controls that only the settings sheet uses.
namespace kivo {

// A plain label in the Eon font of `size` and `weight` (monospaced if asked),
// named for assistive technology by its own words.
QLabel* settingsText(const QString& words, double size, QFont::Weight weight, const QColor& color,
    QWidget* parent, bool mono = false);

// A titled group: the title in spaced small capitals over its controls.
class SettingsSection : public QWidget {
    Q_OBJECT
public:
    SettingsSection(const QString& title, QWidget* parent = nullptr);
    // Where the group's controls go, 16 apart.
    QVBoxLayout& content() const { return *m_content; }

private:
    QVBoxLayout* m_content;
};

// A labelled on/off switch: the title on the left, the switch on the right.
class SettingsSwitch : public QAbstractButton {
    Q_OBJECT
public:
    SettingsSwitch(const QString& title, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A checkbox-style toggle: a small rounded box, ticked in the accent colour,
// before its title.
class SettingsCheckBox : public QAbstractButton {
    Q_OBJECT
public:
    SettingsCheckBox(const QString& title, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A title, the current value's text and a slider moving continuously over
// a range of real numbers.
class SettingsSlider : public QWidget {
    Q_OBJECT
public:
    SettingsSlider(const QString& title, double minimum, double maximum, SettingsValueFormat format,
        QWidget* parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    QString valueText() const;
    QSlider& slider() const { return *m_slider; }
    // The value and its range as the screen shows them (78 for "78%").
    const SettingsValueFormat& format() const { return m_format; }
    double shownValue() const { return m_format.shown(m_value); }
    double shownMinimum() const { return m_format.shown(m_minimum); }
    double shownMaximum() const { return m_format.shown(m_maximum); }
    // Moves to a shown value, as a drag there would.
    void setShownValue(double shown);

Q_SIGNALS:
    void valueChanged(double value);

private:
    static constexpr int steps = 1000;
    double m_minimum;
    double m_maximum;
    double m_value;
    SettingsValueFormat m_format;
    QLabel* m_valueLabel;
    QSlider* m_slider;
};

// Mutually exclusive segments in one rounded capsule.
class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    SegmentedPicker(const QStringList& titles, QWidget* parent = nullptr);

    int selectedIndex() const;
    void setSelectedIndex(int index);
    QAbstractButton& segment(int index) const;

Q_SIGNALS:
    void selectedIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QButtonGroup* m_group;
};

// A colour well: shows the colour; clicking it asks for another, alpha included.
class ColorWell : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorWell(const QColor& color, QWidget* parent = nullptr);

    const QColor& color() const { return m_color; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return { 44, 24 }; }

Q_SIGNALS:
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();
    QColor m_color;
};

} // namespace kivo
