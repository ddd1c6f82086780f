#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace kivo {

// The bar above a song list: the title, "Edit N Songs" while two or more
// songs are selected, the embedding screen's own controls, and "N songs".
class TrackListHeaderView : public QWidget {
    Q_OBJECT
public:
    explicit TrackListHeaderView(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // No track count: the list's songs are not known yet (the library is
    // loading or could not be read), so no count is claimed.
    void setCounts(std::optional<qsizetype> trackCount, qsizetype selectionCount);
    // Placed between the edit button and the count, in order; the header
    // takes them over.
    void setActions(const QList<QWidget*>& actions);
    void setOnEditSelection(std::function<void()> onEditSelection);

    QLabel* titleLabel() const { return m_title; }
    // Hidden while there is no count.
    QLabel* countLabel() const { return m_count; }
    // Hidden below two selected songs.
    QPushButton* editButton() const { return m_edit; }

    static QString editText(qsizetype selectionCount);
    static QString countText(qsizetype trackCount);

private:
    QLabel* m_title;
    QPushButton* m_edit;
    QHBoxLayout* m_actions;
    QLabel* m_count;
    std::function<void()> m_onEditSelection;
};

// What an empty list shows in its place: a symbol over a title and a subtitle.
class TrackListEmptyStateView : public QWidget {
    Q_OBJECT
public:
    explicit TrackListEmptyStateView(QWidget* parent = nullptr);

    void setEmptyState(const QString& systemImage, const QString& title, const QString& subtitle);
    QString symbolName() const;
    QLabel* titleLabel() const { return m_title; }
    QLabel* subtitleLabel() const { return m_subtitle; }

private:
    class EonSymbolView* m_symbol;
    QLabel* m_title;
    QLabel* m_subtitle;
};

} // namespace kivo
