package javax.microedition.rms;

import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/** Desktop stand-in: record stores live in memory for the life of the test process. */
public class RecordStore {
  private static final Map<String, RecordStore> stores = new HashMap<>();
  private final String name;
  private final List<byte[]> records = new ArrayList<>();  // record id i + 1; null when deleted

  private RecordStore(String name) {
    this.name = name;
  }

  /** Forgets every store, like a fresh install. */
  public static void reset() {
    stores.clear();
  }

  public static RecordStore openRecordStore(String name, boolean create) throws RecordStoreException {
    RecordStore store = stores.get(name);
    if (store == null && !create) throw new RecordStoreNotFoundException(name);
    if (store == null) stores.put(name, store = new RecordStore(name));
    return store;
  }

  public static void deleteRecordStore(String name) throws RecordStoreException {
    if (stores.remove(name) == null) throw new RecordStoreNotFoundException(name);
  }

  public static String[] listRecordStores() {
    return stores.isEmpty() ? null : stores.keySet().toArray(new String[0]);
  }

  public void closeRecordStore() {}

  public String getName() {
    return name;
  }

  public int getNumRecords() {
    return (int) records.stream().filter(r -> r != null).count();
  }

  public int getNextRecordID() {
    return records.size() + 1;
  }

  public int addRecord(byte[] data, int offset, int numBytes) {
    records.add(copy(data, offset, numBytes));
    return records.size();
  }

  public void deleteRecord(int id) throws RecordStoreException {
    record(id);
    records.set(id - 1, null);
  }

  public byte[] getRecord(int id) throws RecordStoreException {
    return record(id).clone();
  }

  public void setRecord(int id, byte[] data, int offset, int numBytes) throws RecordStoreException {
    record(id);
    records.set(id - 1, copy(data, offset, numBytes));
  }

  private byte[] record(int id) throws InvalidRecordIDException {
    if (id < 1 || id > records.size() || records.get(id - 1) == null) {
      throw new InvalidRecordIDException("record " + id);
    }
    return records.get(id - 1);
  }

  private static byte[] copy(byte[] data, int offset, int numBytes) {
    byte[] copy = new byte[numBytes];
    System.arraycopy(data, offset, copy, 0, numBytes);
    return copy;
  }
}
