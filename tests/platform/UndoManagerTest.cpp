#include "platform/UndoManager.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <optional>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// A value edited by undoable "set" steps whose inverse is registered either
// synchronously or later (as an asynchronous write would).
struct Document {
    UndoManager manager;
    int value = 0;
    bool asynchronous = false;
    std::function<void()> completePending; // finishes a write an asynchronous handler started

    void set(int newValue)
    {
        manager.registerUndo(u"Set Value"_s, handlerRestoring(std::exchange(value, newValue)));
    }

    UndoManager::Handler handlerRestoring(int target)
    {
        return [this, target](UndoInverse inverse) {
            if (!asynchronous) { // registered from inside the handler: the inverse
                manager.registerUndo(
                    u"Set Value"_s, handlerRestoring(std::exchange(value, target)));
                return;
            }
            completePending = [this, target, inverse] {
                inverse.registerStep(
                    u"Set Value"_s, handlerRestoring(std::exchange(value, target)));
            };
        };
    }
};

} // namespace

TEST(UndoManager, UndoAndRedoAlternateAndOnlyFreshStepsClearRedo)
{
    Document doc;
    EXPECT_FALSE(doc.manager.canUndo());
    EXPECT_EQ(doc.manager.undoMenuItemTitle(), u"Undo"_s);
    doc.set(1);
    doc.set(2);
    EXPECT_EQ(doc.manager.undoMenuItemTitle(), u"Undo Set Value"_s);

    doc.manager.undo();
    EXPECT_EQ(doc.value, 1);
    EXPECT_EQ(doc.manager.redoMenuItemTitle(), u"Redo Set Value"_s);
    doc.manager.undo();
    EXPECT_EQ(doc.value, 0);
    EXPECT_FALSE(doc.manager.canUndo());

    doc.manager.redo(); // the inverse goes to undo without clearing the remaining redo
    EXPECT_EQ(doc.value, 1);
    EXPECT_TRUE(doc.manager.canRedo());
    EXPECT_TRUE(doc.manager.canUndo());
    doc.manager.redo();
    EXPECT_EQ(doc.value, 2);
    EXPECT_FALSE(doc.manager.canRedo());

    doc.manager.undo();
    doc.set(9);
    EXPECT_FALSE(doc.manager.canRedo());
}

TEST(UndoManager, InverseRegisteredAfterAnAsynchronousUndoIsOfferedAsRedo)
{
    Document doc;
    doc.set(5);
    doc.asynchronous = true;
    doc.manager.undo();
    EXPECT_FALSE(doc.manager.canUndo());
    EXPECT_FALSE(doc.manager.canRedo()); // not yet written
    doc.completePending();
    EXPECT_EQ(doc.value, 0);
    EXPECT_TRUE(doc.manager.canRedo());
    EXPECT_FALSE(doc.manager.canUndo());

    doc.manager.redo();
    doc.completePending();
    EXPECT_EQ(doc.value, 5);
    EXPECT_TRUE(doc.manager.canUndo());
}

TEST(UndoManager, BusyOwnersBlockUndoAndRedoWithoutLosingSteps)
{
    Document doc;
    doc.set(1);
    QSignalSpy changes(&doc.manager, &UndoManager::stateChanged);
    int owner = 0;
    doc.manager.setBusy(&owner, true);
    EXPECT_FALSE(doc.manager.canUndo());
    doc.manager.undo();
    EXPECT_EQ(doc.value, 1);
    doc.manager.setBusy(&owner, false);
    EXPECT_TRUE(doc.manager.canUndo());
    EXPECT_EQ(changes.count(), 2);
    doc.manager.undo();
    EXPECT_EQ(doc.value, 0);
}

TEST(UndoManager, InverseHandleOutlivingTheManagerIsHarmless)
{
    std::optional<UndoInverse> kept;
    {
        UndoManager manager;
        manager.registerUndo(u"X"_s, [&](UndoInverse inverse) { kept = inverse; });
        manager.undo();
    }
    ASSERT_TRUE(kept);
    kept->registerStep(u"X"_s, [](UndoInverse) {});
}
