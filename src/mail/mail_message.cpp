#include "mail/mail_message.h"
