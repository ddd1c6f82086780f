#pragma once

#include "ui/editing/InspectorModel.h"

#include <QScrollArea>

class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace kivo {

class StarRow;

// The track inspector: title and file name locked, artist, album, genre, BPM
// and rating edited in place (each change goes out at once through
// trackEdited), and the technical data. The host owns the song and shows
// another song by making a new inspector.
class InspectorView : public QScrollArea {
    Q_OBJECT
public:
    explicit InspectorView(const Track& track, QWidget* parent = nullptr);

    InspectorModel& model() { return *m_model; }
    // The host changed the song: locked and technical rows follow, fields stay.
    void setTrack(const Track& track);

Q_SIGNALS:
    void trackEdited(const kivo::Track& track);

private:
    QLineEdit* addField(QVBoxLayout* layout, const QString& title, const QString& text,
        void (InspectorModel::*setter)(const QString&));
    void refresh();

    InspectorModel* m_model;
    QLabel* m_title = nullptr;
    QLabel* m_filename = nullptr;
    StarRow* m_stars = nullptr;
    QLabel* m_format = nullptr;
    QLabel* m_bitrate = nullptr;
    QLabel* m_sampleRate = nullptr;
    QLabel* m_duration = nullptr;
    QLabel* m_dateAdded = nullptr;
};

} // namespace kivo
