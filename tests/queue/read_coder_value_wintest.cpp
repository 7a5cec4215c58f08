// The coder value as every command reads it from the real window: a refused text stops the
// command before it touches the queue, a file or a dialog.
#include "queue/queue_fixture.h"
#include "ui/window_events.h"

#include <utility>

using CoderValueTest = QueueTest;

TEST_F(CoderValueTest, RefusedValueStopsEveryCommandBeforeItTouchesAnything)
{
    MainForm& f = Form();
    const std::string failed = MakeQueuedFile("failed.bin", 100, 1, "Err");
    const std::string dropped = MakeFile("dropped.bin", 100, 2);
    const std::pair<std::string, std::string> refusals[] = {
        {" 12abc", "Invalid coder value\r 12abc"},
        {"0x10", "Invalid coder value\r0x10"},
        {"", "Invalid coder value\r"},
        {"4294967296", "Coder value leaves files unchanged\r4294967296"},
    };
    for (const auto& [text, message] : refusals) {
        SCOPED_TRACE(text);
        f.CoderValueEdit.SetText(text);
        ModalAnswerer errors("Error", IDOK, 30000, true);
        ModalAnswerer addDialogs("Select file(s) to simple coding...", IDCANCEL, 30000, true);
        ModalAnswerer openDialogs("Open", IDCANCEL, 30000, true);
        FocusEditWithoutShortcuts(f.CoderValueEdit);
        PressKey(VK_RETURN);
        PressKey(VK_INSERT);
        Click(f.AddButton);
        DropOnWindow(dropped);
        for (const UINT key : {'O', 'M', 'U'}) {
            FocusListWithShortcuts();
            PressKey(key, true);
        }
        // A busy machine may show the last box late; one too many would still show below.
        PumpUntil([&] { return errors.Count() >= 7; }, 10000);
        Pump(100);
        errors.Stop();
        addDialogs.Stop();
        openDialogs.Stop();
        EXPECT_EQ(errors.Texts(), std::vector<std::string>(7, message));
        EXPECT_EQ(addDialogs.Count() + openDialogs.Count(), 0) << "no dialog is shown";
        EXPECT_EQ(f.CoderValueEdit.Text(), text);
        EXPECT_EQ(Paths(), std::vector<std::string>{failed});
        EXPECT_EQ(Marks(), std::vector<std::string>{"Err"});
    }
    EXPECT_TRUE(ReadAll(failed) == Pattern(100, 1));
    EXPECT_TRUE(ReadAll(dropped) == Pattern(100, 2));
    EXPECT_TRUE(seenCaptions_.empty());

    // Blanks around a value are no fault.
    f.CoderValueEdit.SetText(" 962 ");
    FocusListWithShortcuts();
    PressKey('U', true);
    EXPECT_EQ(Marks(), std::vector<std::string>{"Ok"});
    EXPECT_TRUE(ReadAll(failed) == Coded(Pattern(100, 1), 962));
}
