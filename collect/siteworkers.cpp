// The site worker behind each starter. The site parser classes register here as they come;
// a starter without one reports that its kind of collection cannot run yet.
#include "parse.h"

#include <stdexcept>

void TParseForm::LaunchSiteWorker(const WorkerStart& start)
{
    switch (start.starter) {
    default:
        throw std::runtime_error("这种采集方式还不能使用");
    }
}
