#pragma once

#include <QObject>

namespace lm {

class WindowContext;

// The import items of the File menu: the CatME and Connexion Client imports,
// the Connexion Web extracts, Import PFW (which is Load) and the connector
// messages of the other cataloguing systems.
class ImportCommands : public QObject {
    Q_OBJECT
  public:
    ImportCommands(WindowContext& window, QObject* parent);

  private:
    WindowContext& m_window;
};

}  // namespace lm
