#include "gui/common/Guard.h"

#include "core/errors/AppError.h"
#include "gui/common/MessageBox.h"

#include <exception>

void ReportCurrentException()
{
    try {
        throw;
    } catch (const SilentAbort&) {
        // The user was already told (ReportInputError); the action just ends.
    } catch (const AppError& e) {
        ShowDefaultErrorBox(e.message());
    } catch (const std::exception& e) {
        ShowDefaultErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowDefaultErrorBox(QStringLiteral("Unknown error"));
    }
}
