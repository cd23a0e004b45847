#include "mail/mail_address.h"
