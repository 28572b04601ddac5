user_pref("mail.identity.useremail", "ann@example.org");
