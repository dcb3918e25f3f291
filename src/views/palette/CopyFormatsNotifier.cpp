#include "views/palette/CopyFormatsNotifier.h"

CopyFormatsNotifier *CopyFormatsNotifier::instance() {
    static CopyFormatsNotifier notifier;
    return &notifier;
}
