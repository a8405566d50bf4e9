// "Score a Batch..." from the worksheet.
#include "app/template_form.h"

namespace orvale {

void TfrmTemplate::ScoreBatch(const QString&) {}

}  // namespace orvale
