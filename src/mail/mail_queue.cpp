#include "mail/mail_queue.h"
