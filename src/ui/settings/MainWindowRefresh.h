#pragma once

// What the advanced settings dialog asks of the main window after a save, so the dialog does
// not depend on the window itself.
class MainWindowRefresh
{
public:
    virtual ~MainWindowRefresh() = default;

    // Title text and the font sizes.
    virtual void applyTitleAndFonts() = 0;
    // Status line and the quick settings fields.
    virtual void refreshStatus() = 0;
    // Rolling rows shown or hidden as the settings say.
    virtual void applyRowVisibility() = 0;
    // 1 starts the idle roll list, anything else stops it.
    virtual void runRollList(int start) = 0;
    // The start button disabled, captioned "开始": the data must be loaded again before a draw.
    virtual void disableStartButton() = 0;
    // Settings that do not change who takes part were saved: a finished run stays as it was (its
    // winner list can still be redrawn); an unfinished one waits for a new confirmation.
    virtual void keepRun() = 0;
    // 新活动 moved the event's files away: the prepared draw is discarded and the old run can no
    // longer be redrawn; a draw needs a new confirmation, as after start-up.
    virtual void endEvent() = 0;
};
