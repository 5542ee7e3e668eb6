// Resource ids of the test pictures embedded in the controls tests.
#pragma once

#define IDR_PICTURE_640X480 300
#define IDR_PICTURE_300X600 301
#define IDR_PICTURE_100X80 302
