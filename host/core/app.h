#pragma once
// The host's application interface, one per loaded module.
#include "host/core/stringhashtable.h"

#include <QString>
#include <memory>

class QWidget;

namespace quib {

class MessageService;
class WorkerRegistry;
struct NetworkSettings;

class IApp {
public:
    virtual ~IApp() = default;

    // The module contract, in slot order.
    virtual QWidget* GetMainForm() = 0;  // owner of the module's main form
    virtual void WriteLog(const QString& summary, const QString& detail, const QString& source) = 0;
    virtual QString GetAppPath() = 0;                               // ends in a separator
    virtual QString GetModuleName() = 0;                            // module file name without extension
    virtual std::unique_ptr<TStringHashTable> GetProperties() = 0;  // the module owns the result
    virtual QString GetSkinName() = 0;

    // Host services behind the contract.
    virtual MessageService& GetMessages() = 0;
    virtual const NetworkSettings& GetNetwork() = 0;
    virtual WorkerRegistry& GetWorkers() = 0;
};

}  // namespace quib
