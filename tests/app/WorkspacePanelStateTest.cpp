#include "app/WorkspacePanelState.h"
#include "platform/UserDefaults.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Records every write, in order.
class RecordingDefaults : public UserDefaults {
public:
    std::optional<Value> value(const QString& key) const override
    {
        return values.contains(key) ? std::optional(values[key]) : std::nullopt;
    }
    bool setValue(const QString& key, const Value& value) override
    {
        values[key] = value;
        writes << key;
        return true;
    }
    void removeValue(const QString& key) override { values.remove(key); }

    QMap<QString, Value> values;
    QStringList writes;
};

} // namespace

TEST(WorkspacePanelState, LoadsDefaultsAndClampsStoredWidths)
{
    auto empty = std::make_shared<RecordingDefaults>();
    const WorkspacePanelState fresh(empty);
    EXPECT_TRUE(fresh.isLeftEnabled() && fresh.isLeftExpanded() && !fresh.isLeftLocked());
    EXPECT_TRUE(fresh.isRightEnabled() && fresh.isRightExpanded() && !fresh.isRightLocked());
    EXPECT_EQ(fresh.leftWidth(), 240);
    EXPECT_EQ(fresh.rightWidth(), 340);
    EXPECT_TRUE(empty->writes.isEmpty()); // loading writes nothing

    const auto widths = [](UserDefaults::Value left, UserDefaults::Value right) {
        auto d = std::make_shared<RecordingDefaults>();
        d->values[u"workspace.left.width"_s] = left;
        d->values[u"workspace.right.width"_s] = right;
        const WorkspacePanelState state(d);
        return std::pair(state.leftWidth(), state.rightWidth());
    };
    EXPECT_EQ(widths(100.0, 100.0), std::pair(188.0, 260.0));
    EXPECT_EQ(widths(1000.0, 900.0), std::pair(360.0, 460.0));
    EXPECT_EQ(widths(188.0, 300.0), std::pair(188.0, 300.0));
    EXPECT_EQ(widths(qint64(200), std::nan("")), std::pair(200.0, 260.0));
    EXPECT_EQ(widths(u"wide"_s, u"wide"_s), std::pair(240.0, 340.0));

    auto wrongType = std::make_shared<RecordingDefaults>();
    wrongType->values[u"workspace.left.enabled"_s] = u"no"_s;
    wrongType->values[u"workspace.right.locked"_s] = true;
    const WorkspacePanelState typed(wrongType);
    EXPECT_TRUE(typed.isLeftEnabled());
    EXPECT_TRUE(typed.isRightLocked());
}

TEST(WorkspacePanelState, EnablingRulesWriteEveryValue)
{
    auto d = std::make_shared<RecordingDefaults>();
    WorkspacePanelState state(d);
    state.setIsLeftLocked(true);
    d->writes.clear();

    state.setIsLeftEnabled(false);
    EXPECT_EQ(d->writes,
        (QStringList { u"workspace.left.enabled"_s, u"workspace.left.expanded"_s,
            u"workspace.left.locked"_s }));
    EXPECT_FALSE(state.isLeftExpanded() || state.isLeftLocked());
    EXPECT_EQ(std::get<bool>(d->values[u"workspace.left.locked"_s]), false);

    state.setIsLeftEnabled(true);
    EXPECT_TRUE(state.isLeftEnabled() && state.isLeftExpanded() && !state.isLeftLocked());

    // Re-enabling an enabled panel still re-expands it.
    state.setExpanded(WorkspacePanelSide::right, false);
    state.setEnabled(WorkspacePanelSide::right, true);
    EXPECT_TRUE(state.isRightExpanded());

    // Widths are stored as given; the restored state reads them back.
    state.setRightWidth(333.5);
    EXPECT_EQ(WorkspacePanelState(d).rightWidth(), 333.5);
    EXPECT_EQ(WorkspacePanelState::clampedWidth(WorkspacePanelSide::right, 1e9), 460);
    EXPECT_EQ(displayName(WorkspacePanelSide::left), u"Library Sidebar"_s);
}
