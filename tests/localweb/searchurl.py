"""Search requests composed the way the client composes them."""

DEVELOPER_ID = "5c0d3e7a91b24f68a0e7c1d2b3f49a86"
PREFIX = f"/vws/1.4/rest?developerId={DEVELOPER_ID}"
AREA_TARGET = f"{PREFIX}&operation=GetAreaClass&version=2007-02-28"


def search_target(area="middleClassCode=tokyo&smallClassCode=tokyo23&detailClassCode=shinjuku",
                  checkin="2030-03-12", checkout="2030-03-14", adults=2, children=0, infants=0,
                  rooms=1, squeeze=(), budget=None):
    target = (f"{PREFIX}&operation=VacantHotelSearch&version=2007-02-28&largeClassCode=japan"
              f"&{area}&checkinDate={checkin}&checkoutDate={checkout}"
              f"&adultNum={adults}&upClassNum={children}&infantWithMBNum={infants}&roomNum={rooms}")
    target += "".join(f"&squeezeCondition={s}" for s in squeeze)
    if budget:
        target += f"&minCharge={budget[0]}&maxCharge={budget[1]}"
    return target


def landmark_area(latitude, longitude, radius_metres):
    """The area part for a landmark in decimal degrees (WGS 84), shifted to the
    Tokyo datum in seconds as the client does."""
    lat_t = latitude + latitude * 0.00010696 - longitude * 0.000017467 - 0.004602
    lon_t = longitude + latitude * 0.000046047 + longitude * 0.000083049 - 0.010041
    return f"latitude={lat_t * 3600:.02f}&longitude={lon_t * 3600:.02f}&searchRadius={radius_metres / 1000.0:.01f}"
