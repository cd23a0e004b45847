#include "mail/smtp_client.h"
