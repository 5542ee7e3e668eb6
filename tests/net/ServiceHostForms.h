// Host settings the build accepts and refuses, one a line: the setting, " => ",
// then "http <name[:port]>" or "https <name[:port]>" as the program reads it,
// or "refused <why>" with the reason the configure step names. The native
// tests hold the program's reader to it, service_host_rule the configure step's.
#pragma once

inline constexpr char kServiceHostForms[] = R"forms(
127.0.0.1:48230 => http 127.0.0.1:48230
localhost => http localhost
h:1 => http h:1
Svc-1.Example.JP:65535 => http Svc-1.Example.JP:65535
http://svc.example.jp => http svc.example.jp
https://localhost:48241 => https localhost:48241
https://a-b.c1.example:443 => https a-b.c1.example:443
https://x => https x
 => refused empty
https:// => refused name
http://:80 => refused name
ftp://files.example => refused scheme
HTTPS://svc.example => refused scheme
://svc.example => refused scheme
https://user@svc.example => refused user
user:pw@svc.example => refused user
svc.example/vws => refused path
https://svc.example:443/ => refused path
svc.example?x=1 => refused path
svc.example#top => refused path
http://https://svc.example => refused path
https:/svc.example => refused path
:8080 => refused name
svc..example => refused name
.svc.example => refused name
svc.example. => refused name
-svc.example => refused name
svc-.example => refused name
svc_1.example => refused name
 svc.example => refused name
svc.example  => refused name
"svc".example => refused name
[::1]:80 => refused name
svc.example: => refused port
svc.example:0 => refused port
svc.example:65536 => refused port
svc.example:123456 => refused port
svc.example:80a => refused port
svc.example:-1 => refused port
svc.example:80:81 => refused port
https:svc.example => refused port
)forms";
