package java.util;
public class Hashtable {
  public Hashtable() {}
  public Hashtable(int capacity) {}
  public native int size();
  public native Object get(Object key);
  public native Object put(Object key, Object value);
  public native Object remove(Object key);
  public native boolean containsKey(Object key);
  public native void clear();
  public native Enumeration keys();
}
