#pragma once

#include <QString>

// The product web page, shown in the About box and opened by a click on it.
inline const QString ProductWebAddress = QStringLiteral("https://scrawlix.app/products/scrawlix/");
