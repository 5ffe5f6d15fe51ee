#include "platform/GuiLogging.h"

Q_LOGGING_CATEGORY(vokLink, "vok.link")
Q_LOGGING_CATEGORY(vokUpload, "vok.upload")
