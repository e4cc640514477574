#pragma once
#include <QString>

#include <exception>

// The message of an exception as one line of the session log.
QString ErrorLine(std::exception_ptr error);
