"""Coordinates: the shift between WGS 84 and the Tokyo datum the hotel web
service uses, and distances on the ground."""

import math


def wgs84_to_tokyo(latitude, longitude):
    """Decimal degrees on WGS 84 to decimal degrees on the Tokyo datum; the
    same linear approximation the client applies to a landmark."""
    lat = latitude + latitude * 0.00010696 - longitude * 0.000017467 - 0.004602
    lon = longitude + latitude * 0.000046047 + longitude * 0.000083049 - 0.010041
    return lat, lon


def tokyo_to_wgs84(latitude, longitude):
    """The client's shift for a hotel's map link, in decimal degrees."""
    lat = latitude - latitude * 0.00010695 + longitude * 0.000017464 + 0.0046017
    lon = longitude - latitude * 0.000046038 - longitude * 0.000083043 + 0.01004
    return lat, lon


def distance_metres(lat1, lon1, lat2, lon2):
    """Great-circle distance between two points in decimal degrees."""
    radius = 6371000.0
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp = p2 - p1
    dl = math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * radius * math.asin(math.sqrt(min(1.0, a)))


def offset(latitude, longitude, north_metres, east_metres):
    """The point that lies the given distances north and east of another."""
    dlat = north_metres / 111320.0
    dlon = east_metres / (111320.0 * math.cos(math.radians(latitude)))
    return latitude + dlat, longitude + dlon
