#pragma once

#include <QObject>

namespace lm {

class WindowContext;
struct Settings;

// The Setup menu: the spine and pocket fonts, the label type, the printing
// method, the four margins, the alignment and Show Setup. Each command that
// changes something asks first and then rewrites the whole settings file from
// the record in memory; the labels on screen keep what they were built with
// until the next start, except the check marks, which move at once.
//
// A settings write that fails is reported and changes nothing: the file, the
// record and the check marks stay as they were.
class SetupCommands : public QObject {
    Q_OBJECT
  public:
    SetupCommands(WindowContext& window, QObject* parent = nullptr);

    void mnuSetup_Font_Spane_Click();
    void mnuSetup_Font_Pocket_Click();
    void mnuSetup_Label_Item_Click(int Index);
    void mnuSetup_Printing_Interactive_Click();
    void mnuSetup_Printing_Batch_Click();
    void MnuSetup_Margin_Click();
    void MnuSetup_LeftMargin_Click();
    void mnuSetup_Spine_Left_Margin_Click();
    void mnuSetup_Pocket_Left_Margin_Click();
    void mnuSetup_Alignment_Item_Click(int Index);
    void mnuSetup_Show_Click();

    // The title, prompt, range and error title of one margin command.
    struct MarginCommand;

  private:
    enum class FontItems { Spine, Pocket };

    void chooseFont(FontItems items);
    void choosePrintingMethod(int method);
    void editMargin(const MarginCommand& command);
    // False, after telling the operator why, unless the working label file is empty.
    bool workingFileIsEmpty(const QString& refusal);
    bool askToSave(bool withCancel);
    // Writes `changed`; on success it becomes the record in memory.
    bool save(const Settings& changed);
    void tellToRestart(bool withCancel = false);

    WindowContext& m_window;
};

}  // namespace lm
